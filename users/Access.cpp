#include "app/Main.h"

int TfrmMain::AccessToInt(const QString&) { return -1; }
bool TfrmMain::TestAccess(const QString&, const QString&) { return false; }
bool TfrmMain::TestSetupAccess() { return false; }
