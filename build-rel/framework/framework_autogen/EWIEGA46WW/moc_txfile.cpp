/****************************************************************************
** Meta object code from reading C++ file 'txfile.h'
**
** Created by: The Qt Meta Object Compiler version 68 (Qt 6.4.2)
**
** WARNING! All changes made in this file will be lost!
*****************************************************************************/

#include <memory>
#include "../../../../framework/txfile.h"
#include <QtCore/qmetatype.h>
#if !defined(Q_MOC_OUTPUT_REVISION)
#error "The header file 'txfile.h' doesn't include <QObject>."
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
struct qt_meta_stringdata_TXFile_t {
    uint offsetsAndSizes[12];
    char stringdata0[7];
    char stringdata1[9];
    char stringdata2[16];
    char stringdata3[9];
    char stringdata4[7];
    char stringdata5[10];
};
#define QT_MOC_LITERAL(ofs, len) \
    uint(sizeof(qt_meta_stringdata_TXFile_t::offsetsAndSizes) + ofs), len 
Q_CONSTINIT static const qt_meta_stringdata_TXFile_t qt_meta_stringdata_TXFile = {
    {
        QT_MOC_LITERAL(0, 6),  // "TXFile"
        QT_MOC_LITERAL(7, 8),  // "FileName"
        QT_MOC_LITERAL(16, 15),  // "RaiseExceptions"
        QT_MOC_LITERAL(32, 8),  // "ReadMode"
        QT_MOC_LITERAL(41, 6),  // "Shared"
        QT_MOC_LITERAL(48, 9)   // "WriteMode"
    },
    "TXFile",
    "FileName",
    "RaiseExceptions",
    "ReadMode",
    "Shared",
    "WriteMode"
};
#undef QT_MOC_LITERAL
} // unnamed namespace

Q_CONSTINIT static const uint qt_meta_data_TXFile[] = {

 // content:
      10,       // revision
       0,       // classname
       0,    0, // classinfo
       0,    0, // methods
       5,   14, // properties
       0,    0, // enums/sets
       0,    0, // constructors
       0,       // flags
       0,       // signalCount

 // properties: name, type, flags
       1, QMetaType::QString, 0x00015003, uint(-1), 0,
       2, QMetaType::Bool, 0x00015003, uint(-1), 0,
       3, QMetaType::Bool, 0x00015003, uint(-1), 0,
       4, QMetaType::Bool, 0x00015003, uint(-1), 0,
       5, QMetaType::Bool, 0x00015003, uint(-1), 0,

       0        // eod
};

Q_CONSTINIT const QMetaObject TXFile::staticMetaObject = { {
    QMetaObject::SuperData::link<TXComponent::staticMetaObject>(),
    qt_meta_stringdata_TXFile.offsetsAndSizes,
    qt_meta_data_TXFile,
    qt_static_metacall,
    nullptr,
    qt_incomplete_metaTypeArray<qt_meta_stringdata_TXFile_t,
        // property 'FileName'
        QtPrivate::TypeAndForceComplete<QString, std::true_type>,
        // property 'RaiseExceptions'
        QtPrivate::TypeAndForceComplete<bool, std::true_type>,
        // property 'ReadMode'
        QtPrivate::TypeAndForceComplete<bool, std::true_type>,
        // property 'Shared'
        QtPrivate::TypeAndForceComplete<bool, std::true_type>,
        // property 'WriteMode'
        QtPrivate::TypeAndForceComplete<bool, std::true_type>,
        // Q_OBJECT / Q_GADGET
        QtPrivate::TypeAndForceComplete<TXFile, std::true_type>
    >,
    nullptr
} };

void TXFile::qt_static_metacall(QObject *_o, QMetaObject::Call _c, int _id, void **_a)
{
if (_c == QMetaObject::ReadProperty) {
        auto *_t = static_cast<TXFile *>(_o);
        (void)_t;
        void *_v = _a[0];
        switch (_id) {
        case 0: *reinterpret_cast< QString*>(_v) = _t->FileName(); break;
        case 1: *reinterpret_cast< bool*>(_v) = _t->RaiseExceptions(); break;
        case 2: *reinterpret_cast< bool*>(_v) = _t->ReadMode(); break;
        case 3: *reinterpret_cast< bool*>(_v) = _t->Shared(); break;
        case 4: *reinterpret_cast< bool*>(_v) = _t->WriteMode(); break;
        default: break;
        }
    } else if (_c == QMetaObject::WriteProperty) {
        auto *_t = static_cast<TXFile *>(_o);
        (void)_t;
        void *_v = _a[0];
        switch (_id) {
        case 0: _t->SetFileName(*reinterpret_cast< QString*>(_v)); break;
        case 1: _t->SetRaiseExceptions(*reinterpret_cast< bool*>(_v)); break;
        case 2: _t->SetReadMode(*reinterpret_cast< bool*>(_v)); break;
        case 3: _t->SetShared(*reinterpret_cast< bool*>(_v)); break;
        case 4: _t->SetWriteMode(*reinterpret_cast< bool*>(_v)); break;
        default: break;
        }
    } else if (_c == QMetaObject::ResetProperty) {
    } else if (_c == QMetaObject::BindableProperty) {
    }
    (void)_o;
    (void)_id;
    (void)_c;
    (void)_a;
}

const QMetaObject *TXFile::metaObject() const
{
    return QObject::d_ptr->metaObject ? QObject::d_ptr->dynamicMetaObject() : &staticMetaObject;
}

void *TXFile::qt_metacast(const char *_clname)
{
    if (!_clname) return nullptr;
    if (!strcmp(_clname, qt_meta_stringdata_TXFile.stringdata0))
        return static_cast<void*>(this);
    return TXComponent::qt_metacast(_clname);
}

int TXFile::qt_metacall(QMetaObject::Call _c, int _id, void **_a)
{
    _id = TXComponent::qt_metacall(_c, _id, _a);
    if (_id < 0)
        return _id;
    if (_c == QMetaObject::ReadProperty || _c == QMetaObject::WriteProperty
            || _c == QMetaObject::ResetProperty || _c == QMetaObject::BindableProperty
            || _c == QMetaObject::RegisterPropertyMetaType) {
        qt_static_metacall(this, _c, _id, _a);
        _id -= 5;
    }
    return _id;
}
QT_WARNING_POP
QT_END_MOC_NAMESPACE
