#pragma once
#include <QWidget>

class BookSelection;
class LinkLabel;
class Session;
class QComboBox;
class QFrame;
class QLabel;

// The filter bar: the company, year and period boxes with their captions, and the chosen
// period's dates and open flag. It fills the boxes from the database and keeps the
// book selection told of the chosen period.
class FilterBar : public QWidget {
    Q_OBJECT
public:
    FilterBar(const Session& session, QWidget* parent);
    // The selection reads these boxes; the bar tells it the period it read.
    void setSelection(BookSelection* selection);

    // The steps of a refresh, in their order; each keeps the box's choice where it can.
    void refreshCompanies();
    void refreshYears();
    // With no year chosen yet, the year holding today's period (answered, to be chosen
    // once the periods are listed), else the last year. 0 when no period holds today.
    int selectYearOfToday();
    void refreshPeriods();
    void refreshPeriodInformation();
    // The whole refresh of the boxes and labels as a login or a box's change runs it.
    void refresh();

    LinkLabel* const lblCompany;
    QComboBox* const cbCompany;
    LinkLabel* const lblFinancialYear;
    QComboBox* const cbFinancialYear;
    LinkLabel* const lblFinancialPeriod;
    QComboBox* const cbFinancialPeriod;
    QFrame* const bDates;
    QLabel* const lblPeriodStartDate;
    QLabel* const lblPeriodEndDate;
    QLabel* const lblPeriodOpen;

private:
    void showNoYearLabels();
    const Session& m_session;
    BookSelection* m_selection = nullptr;
};
