#pragma once
#include "setup/SetupWindows.h"

class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Setup -> Companies": the companies the logged-in user may work with. The list is the
// main window's qrCompanies; its current row is the selected company.
class TfrmCompanies : public SetupListWindow {
    Q_OBJECT
public:
    explicit TfrmCompanies(QWidget* parent = nullptr);

    void Load(bool OnCreateForm) override;
    void btnNewCompanyClick();
    void btnEditCompanyClick();

    QPushButton* const btnNewCompany;
    QPushButton* const btnEditCompany;
    DataGrid* const dbgCompanies;
    QLabel* const lblNowCompaniesExist;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;
    // Work area of the company dialog: its name check and its writes.
    Query* const qrCompanies;

protected:
    void newClicked() override { btnNewCompanyClick(); }
    void editClicked() override { btnEditCompanyClick(); }
};
