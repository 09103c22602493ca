#pragma once

class TFMain;

/** Routes the main window's report actions to the report screens of each operation. */
void RegisterReportScreens(TFMain* mainForm);
