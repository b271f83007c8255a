#pragma once
// The world most setup tests start from: a database, the main window and one logged-in
// administrator of two companies, the first of them selected in the filter bar.
#include "TestSupport.h"

#include "app/Main.h"
#include "standard/Standard.h"

#include <QComboBox>

struct AdminOfTwoCompanies {
    TestDatabase db;
    TfrmMain w;
    MessageLog log;
    int user = db.addUser("ann", "ann@example.com", "secret");
    int alpha = db.addCompany("Alpha Farms");
    int beta = db.addCompany("Beta Trading");
    AdminOfTwoCompanies()
    {
        db.addAccess(user, alpha);
        db.addAccess(user, beta);
        w.Login(user);
        SelectId(w.cbCompany, alpha);
    }
};
