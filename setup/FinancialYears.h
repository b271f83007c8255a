#pragma once
#include "setup/SetupWindows.h"

class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Setup -> Financial Years": the financial years of the company selected in the filter
// bar, in the order they were created. The list is the main window's qrFinancialYears;
// its current row is the selected year.
class TfrmFinancialYears : public SetupListWindow {
    Q_OBJECT
public:
    explicit TfrmFinancialYears(QWidget* parent = nullptr);

    void Load(bool OnCreateForm) override;
    void btnNewFinancialYearClick();
    void btnEditFinancialYearClick();

    QPushButton* const btnNewFinancialYear;
    QPushButton* const btnEditFinancialYear;
    DataGrid* const dbgFinancialYears;
    QLabel* const lblNoFinancialYearsExist;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;

protected:
    void newClicked() override { btnNewFinancialYearClick(); }
    void editClicked() override { btnEditFinancialYearClick(); }
};
