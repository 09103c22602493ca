#pragma once

class TFMain;

/** Registers the registration screen of each station operation with the main window's menu. */
void RegisterRegistrationScreens(TFMain* mainForm);
