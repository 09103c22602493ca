#pragma once

#include "appschema.h"
#include "provisionedstation.h"
#include "recordingplayer.h"
#include "scriptedpresenter.h"
#include "tappconfig.h"
#include "tdm.h"
#include "tfmain.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

/** Computer name the tests bind station files to (the name as the host gives it). */
inline const QString kTestComputer = QStringLiteral("estacao01");

/**
 * The application shell on a station file: the data module, the main window
 * with a recording alert player, scripted message boxes and a fixed computer.
 */
class ShellTest : public ::testing::Test
{
protected:
    explicit ShellTest(StationOperation operation = StationOperation::Plantio) : station(operation)
    {
    }

    void SetUp() override
    {
        SetComputerNameSource([] { return kTestComputer; });
        dataModule = std::make_unique<TDM>();
        DM = dataModule.get();
        DM->SetProgramPath(station.ProgramPath());
        mainForm = std::make_unique<TFMain>();
        mainForm->MPlayer = &player;
    }

    void TearDown() override
    {
        mainForm.reset();
        DM = nullptr;
        dataModule.reset();
        SetComputerNameSource({});
    }

    /** Shows the main window and waits for the connect-at-start flow. */
    void Start()
    {
        mainForm->show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return mainForm->Started(); }, 5000));
        QCoreApplication::processEvents();
    }

    QString Panel(int i) const { return mainForm->Panels[i]->text(); }

    ScriptedPresenter presenter;
    RecordingPlayer player;
    ProvisionedStation station;
    std::unique_ptr<TDM> dataModule;
    std::unique_ptr<TFMain> mainForm;
};
