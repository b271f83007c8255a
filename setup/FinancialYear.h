#pragma once
#include "setup/FinancialPeriods.h"
#include "standard/DatePicker.h"
#include "standard/EditDialog.h"

#include <QUuid>

class TfrmFinancialYears;
class LabeledEdit;
class StringGrid;

// The financial year dialog: "New Financial Year" adds a year to CompanyID, "Edit
// Financial Year" changes the year FinancialYearID (LoadEdit reads it). A year holds the
// periods of grid rows 1 to its last filled row; Calculate fills rows 1 to 12.
class TfrmFinancialYear : public EditDialog {
    Q_OBJECT
public:
    // list: the list window the dialog was opened from, rerun after a save; nullptr when
    // opened from the filter bar.
    TfrmFinancialYear(QWidget* parent, TfrmFinancialYears* list);

    // The captions that are the dialog's modes.
    static inline const QString NewCaption = QStringLiteral("New Financial Year");
    static inline const QString EditCaption = QStringLiteral("Edit Financial Year");

    int FinancialYearID = 0;
    int CompanyID = 0;

    // Reads the year FinancialYearID and its live periods into the dialog.
    void LoadEdit();
    // Asks first, then writes twelve periods from the chosen first day into rows 1 to 12.
    void btnCalculateClick();
    // The checks, in order; false when one refused (its message shown, the focus on the
    // box or cell to correct, the dialog open).
    bool checkInput() override;
    // Writes the year and its periods in one transaction and closes the dialog; a failure
    // changes nothing and leaves the dialog open with everything typed.
    void Save() override;
    // The grid's rows 1 to 18 as typed.
    QList<PeriodRow> Rows() const;

    QGroupBox* const gbFinancialYearInformation;
    LabeledEdit* const edtFinancialYearDescription;
    QGroupBox* const GroupBox1;
    QLabel* const lblFirstDayOfFinancialYear;
    DatePicker* const dtpStartDate;
    QPushButton* const btnCalculate;
    QGroupBox* const gbFinancialPeriods;
    StringGrid* const sg;
    QPushButton* const btnOk;

private:
    bool refuseCell(const PeriodRefusal& refusal);
    TfrmFinancialYears* m_list;
    void savedEarlier() override;
    // Shows the saved year in the list it was opened from, then closes.
    void finish(int yearId);
    int m_lastRow = 0; // the last period row, as the checks found it
    const QString m_saveKey = QUuid::createUuid().toString(QUuid::WithoutBraces); // of a new year
    QList<PeriodRow> m_loadedPeriods; // rows 1 to 18 as LoadEdit read them
};
