/****************************************************************************
** Meta object code from reading C++ file 'tnumberedit.h'
**
** Created by: The Qt Meta Object Compiler version 68 (Qt 6.4.2)
**
** WARNING! All changes made in this file will be lost!
*****************************************************************************/

#include <memory>
#include "../../../../framework/tnumberedit.h"
#include <QtGui/qtextcursor.h>
#include <QtCore/qmetatype.h>
#if !defined(Q_MOC_OUTPUT_REVISION)
#error "The header file 'tnumberedit.h' doesn't include <QObject>."
#elif Q_MOC_OUTPUT_REVISION != 68
#error "This file was generated using the moc from 6.4.2. It"
#error "cannot be used with the include files from this version of Qt."
#error "(The moc has changed too much.)"
#endif

#ifndef Q_CONSTINIT
#define Q_CONSTINIT
#endif

QT_BEGIN_MOC_NAMESPACE
QT_WARNING_PUSH
QT_WARNING_DISABLE_DEPRECATED
namespace {
struct qt_meta_stringdata_TNumberEdit_t {
    uint offsetsAndSizes[20];
    char stringdata0[12];
    char stringdata1[8];
    char stringdata2[1];
    char stringdata3[8];
    char stringdata4[7];
    char stringdata5[14];
    char stringdata6[16];
    char stringdata7[14];
    char stringdata8[6];
    char stringdata9[10];
};
#define QT_MOC_LITERAL(ofs, len) \
    uint(sizeof(qt_meta_stringdata_TNumberEdit_t::offsetsAndSizes) + ofs), len 
Q_CONSTINIT static const qt_meta_stringdata_TNumberEdit_t qt_meta_stringdata_TNumberEdit = {
    {
        QT_MOC_LITERAL(0, 11),  // "TNumberEdit"
        QT_MOC_LITERAL(12, 7),  // "Changed"
        QT_MOC_LITERAL(20, 0),  // ""
        QT_MOC_LITERAL(21, 7),  // "Entered"
        QT_MOC_LITERAL(29, 6),  // "Exited"
        QT_MOC_LITERAL(36, 13),  // "EntryRequired"
        QT_MOC_LITERAL(50, 15),  // "TNumberEditType"
        QT_MOC_LITERAL(66, 13),  // "DisplayFormat"
        QT_MOC_LITERAL(80, 5),  // "Value"
        QT_MOC_LITERAL(86, 9)   // "MaxLength"
    },
    "TNumberEdit",
    "Changed",
    "",
    "Entered",
    "Exited",
    "EntryRequired",
    "TNumberEditType",
    "DisplayFormat",
    "Value",
    "MaxLength"
};
#undef QT_MOC_LITERAL
} // unnamed namespace

Q_CONSTINIT static const uint qt_meta_data_TNumberEdit[] = {

 // content:
      10,       // revision
       0,       // classname
       0,    0, // classinfo
       3,   14, // methods
       4,   35, // properties
       0,    0, // enums/sets
       0,    0, // constructors
       0,       // flags
       3,       // signalCount

 // signals: name, argc, parameters, tag, flags, initial metatype offsets
       1,    0,   32,    2, 0x06,    5 /* Public */,
       3,    0,   33,    2, 0x06,    6 /* Public */,
       4,    0,   34,    2, 0x06,    7 /* Public */,

 // signals: parameters
    QMetaType::Void,
    QMetaType::Void,
    QMetaType::Void,

 // properties: name, type, flags
       5, 0x80000000 | 6, 0x0001500b, uint(-1), 0,
       7, QMetaType::QString, 0x00015003, uint(-1), 0,
       8, QMetaType::Double, 0x00015003, uint(-1), 0,
       9, QMetaType::Int, 0x00015003, uint(-1), 0,

       0        // eod
};

Q_CONSTINIT const QMetaObject TNumberEdit::staticMetaObject = { {
    QMetaObject::SuperData::link<QLineEdit::staticMetaObject>(),
    qt_meta_stringdata_TNumberEdit.offsetsAndSizes,
    qt_meta_data_TNumberEdit,
    qt_static_metacall,
    nullptr,
    qt_incomplete_metaTypeArray<qt_meta_stringdata_TNumberEdit_t,
        // property 'EntryRequired'
        QtPrivate::TypeAndForceComplete<TNumberEditType, std::true_type>,
        // property 'DisplayFormat'
        QtPrivate::TypeAndForceComplete<QString, std::true_type>,
        // property 'Value'
        QtPrivate::TypeAndForceComplete<double, std::true_type>,
        // property 'MaxLength'
        QtPrivate::TypeAndForceComplete<int, std::true_type>,
        // Q_OBJECT / Q_GADGET
        QtPrivate::TypeAndForceComplete<TNumberEdit, std::true_type>,
        // method 'Changed'
        QtPrivate::TypeAndForceComplete<void, std::false_type>,
        // method 'Entered'
        QtPrivate::TypeAndForceComplete<void, std::false_type>,
        // method 'Exited'
        QtPrivate::TypeAndForceComplete<void, std::false_type>
    >,
    nullptr
} };

void TNumberEdit::qt_static_metacall(QObject *_o, QMetaObject::Call _c, int _id, void **_a)
{
    if (_c == QMetaObject::InvokeMetaMethod) {
        auto *_t = static_cast<TNumberEdit *>(_o);
        (void)_t;
        switch (_id) {
        case 0: _t->Changed(); break;
        case 1: _t->Entered(); break;
        case 2: _t->Exited(); break;
        default: ;
        }
    } else if (_c == QMetaObject::IndexOfMethod) {
        int *result = reinterpret_cast<int *>(_a[0]);
        {
            using _t = void (TNumberEdit::*)();
            if (_t _q_method = &TNumberEdit::Changed; *reinterpret_cast<_t *>(_a[1]) == _q_method) {
                *result = 0;
                return;
            }
        }
        {
            using _t = void (TNumberEdit::*)();
            if (_t _q_method = &TNumberEdit::Entered; *reinterpret_cast<_t *>(_a[1]) == _q_method) {
                *result = 1;
                return;
            }
        }
        {
            using _t = void (TNumberEdit::*)();
            if (_t _q_method = &TNumberEdit::Exited; *reinterpret_cast<_t *>(_a[1]) == _q_method) {
                *result = 2;
                return;
            }
        }
    }else if (_c == QMetaObject::ReadProperty) {
        auto *_t = static_cast<TNumberEdit *>(_o);
        (void)_t;
        void *_v = _a[0];
        switch (_id) {
        case 0: *reinterpret_cast< TNumberEditType*>(_v) = _t->EntryRequired(); break;
        case 1: *reinterpret_cast< QString*>(_v) = _t->DisplayFormat(); break;
        case 2: *reinterpret_cast< double*>(_v) = _t->Value(); break;
        case 3: *reinterpret_cast< int*>(_v) = _t->MaxLength(); break;
        default: break;
        }
    } else if (_c == QMetaObject::WriteProperty) {
        auto *_t = static_cast<TNumberEdit *>(_o);
        (void)_t;
        void *_v = _a[0];
        switch (_id) {
        case 0: _t->SetEntryRequired(*reinterpret_cast< TNumberEditType*>(_v)); break;
        case 1: _t->SetDisplayFormat(*reinterpret_cast< QString*>(_v)); break;
        case 2: _t->SetValue(*reinterpret_cast< double*>(_v)); break;
        case 3: _t->SetMaxLength(*reinterpret_cast< int*>(_v)); break;
        default: break;
        }
    } else if (_c == QMetaObject::ResetProperty) {
    } else if (_c == QMetaObject::BindableProperty) {
    }
    (void)_a;
}

const QMetaObject *TNumberEdit::metaObject() const
{
    return QObject::d_ptr->metaObject ? QObject::d_ptr->dynamicMetaObject() : &staticMetaObject;
}

void *TNumberEdit::qt_metacast(const char *_clname)
{
    if (!_clname) return nullptr;
    if (!strcmp(_clname, qt_meta_stringdata_TNumberEdit.stringdata0))
        return static_cast<void*>(this);
    return QLineEdit::qt_metacast(_clname);
}

int TNumberEdit::qt_metacall(QMetaObject::Call _c, int _id, void **_a)
{
    _id = QLineEdit::qt_metacall(_c, _id, _a);
    if (_id < 0)
        return _id;
    if (_c == QMetaObject::InvokeMetaMethod) {
        if (_id < 3)
            qt_static_metacall(this, _c, _id, _a);
        _id -= 3;
    } else if (_c == QMetaObject::RegisterMethodArgumentMetaType) {
        if (_id < 3)
            *reinterpret_cast<QMetaType *>(_a[0]) = QMetaType();
        _id -= 3;
    }else if (_c == QMetaObject::ReadProperty || _c == QMetaObject::WriteProperty
            || _c == QMetaObject::ResetProperty || _c == QMetaObject::BindableProperty
            || _c == QMetaObject::RegisterPropertyMetaType) {
        qt_static_metacall(this, _c, _id, _a);
        _id -= 4;
    }
    return _id;
}

// SIGNAL 0
void TNumberEdit::Changed()
{
    QMetaObject::activate(this, &staticMetaObject, 0, nullptr);
}

// SIGNAL 1
void TNumberEdit::Entered()
{
    QMetaObject::activate(this, &staticMetaObject, 1, nullptr);
}

// SIGNAL 2
void TNumberEdit::Exited()
{
    QMetaObject::activate(this, &staticMetaObject, 2, nullptr);
}
QT_WARNING_POP
QT_END_MOC_NAMESPACE
