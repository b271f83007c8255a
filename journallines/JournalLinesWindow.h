#pragma once
#include "standard/Money.h"
#include "trialbalance/TrialBalanceCell.h"

#include <QWidget>

class JournalLinesModel;
class QChartView;
class QLabel;
class QPushButton;
class QTableView;

// What a journal lines window shows: the lines behind one trial balance figure, and the
// figures of its row to draw, one bar per amount column.
struct JournalLinesSubject {
    QString companyText, yearText; // the books the figure is of, for a print's header
    QString rowText; // the row's object (and account) as the grid names it
    QString columnText; // the column's heading, or "Whole year"
    QList<TBLinesRange> ranges;
    QStringList barLabels;
    QList<Money> barValues;
    int markedBar = -1; // the figure's own bar; -1 for the whole year
};

// The journal lines behind a trial balance figure, with their running balance, their
// count and total, and a bar chart of the figure's row. Not modal: several may be open.
// Reads its lines' counts on opening (throws DbError) and the lines as they are shown.
class TfrmJournalLines : public QWidget {
    Q_OBJECT
public:
    TfrmJournalLines(const JournalLinesSubject& subject, QWidget* parent);

    JournalLinesModel* model() const { return m_model; }
    // "Print...", "Save as PDF..." and the export to a workbook: every line, as shown.
    void printLines();
    void saveLinesPdf();
    void exportLines();

    QLabel* const lblJournalLinesTitle;
    QChartView* const chvJournalLines;
    QTableView* const dbgJournalLines;
    QLabel* const lblJournalLinesCount;
    QLabel* const lblJournalLinesTotal;
    QPushButton* const btnPrintJournalLines;
    QPushButton* const btnSavePdfJournalLines;
    QPushButton* const btnExportJournalLines;

signals:
    // The user asked to see the entry of a line in the journal entries list.
    void entryChosen(int companyId, const QString& companyName, qint64 number, const QDate& date);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    struct PrintableTable printable() const;
    QString title() const;
    JournalLinesSubject m_subject;
    JournalLinesModel* m_model;
};
