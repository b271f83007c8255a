#pragma once
#include "setup/SetupWindows.h"

class Query;
class QGroupBox;
class QLabel;
class QPushButton;
class LinkLabel;

// "Cost Centres - <company>": the cost centres of the company selected in the filter bar,
// in number order. The list is the main window's qrCostCentres; its current row is the
// selected cost centre.
class TfrmCostCentres : public SetupListWindow {
    Q_OBJECT
public:
    explicit TfrmCostCentres(QWidget* parent = nullptr);

    void Load(bool OnCreateForm) override;
    void btnNewCostCentreClick();
    void btnEditCostCentreClick();

    QPushButton* const btnNewCostCentre;
    QPushButton* const btnEditCostCentre;
    DataGrid* const dbgCostCentres;
    QLabel* const lblNoCostCentresExistForCompany;
    LinkLabel* const lblHelp;
    QGroupBox* const gbBibleVerse;
    LinkLabel* const lblBibleVerseLink;
    QLabel* const lblVerse;
    // Work area of the cost centre dialog: its checks and its write.
    Query* const qrCostCentres;

protected:
    void newClicked() override { btnNewCostCentreClick(); }
    void editClicked() override { btnEditCostCentreClick(); }
};
