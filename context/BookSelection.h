#pragma once
#include <QDate>
#include <QObject>
#include <QStringList>
#include <optional>

class QComboBox;

// The selected financial period as the filter bar last read it.
struct SelectedPeriod {
    int id = -1;
    QString description;
    QDate start;
    QDate end;
    bool open = false; // "period open" reads exactly "Yes"
};

// The parts of the selection, each a box of the filter bar.
enum class BookPart { Company, Year, Period };

// The books the user is looking at: a company (or "All" the companies listed), a year and
// a period. The filter bar fills it; every window and tab reads it through here instead
// of the filter bar's boxes.
class BookSelection : public QObject {
    Q_OBJECT
public:
    BookSelection(
        const QComboBox* company, const QComboBox* year, const QComboBox* period, QObject* parent = nullptr);

    // The one specific company chosen; empty under "All" or with no company listed.
    std::optional<int> companyId() const;
    bool isAll() const;
    // The companies a statement is restricted to: the chosen one, or every listed one
    // under "All".
    QList<int> companyIds() const;
    // The company box's id: a company's id, 0 for "All", -1 with an empty box.
    int companyBoxId() const;
    QString companyText() const;
    // -1 when there is no year.
    int yearId() const;
    QString yearText() const;
    // -1 when there is no period.
    int periodId() const;
    // The chosen period with its dates and open flag; empty without one, or when it was
    // removed since the box was filled.
    std::optional<SelectedPeriod> period() const;
    bool periodOpen() const;
    // The condition lines restricting a statement to companyIds(); column as written in
    // the statement.
    QStringList companyCondition(const QString& column, bool leadingBlank = true) const;

    // The filter bar, after it read the chosen period (or found none).
    void setPeriod(std::optional<SelectedPeriod> period);
    // The filter bar, when a refresh has settled the boxes.
    void announceChange() { emit changed(); }

    // A window that refused to work in the selection puts the cursor where it is changed.
    void askCorrection(BookPart part) { emit correctionAsked(part); }

signals:
    void changed();
    void correctionAsked(BookPart part);

private:
    const QComboBox* m_company;
    const QComboBox* m_year;
    const QComboBox* m_period;
    std::optional<SelectedPeriod> m_periodRead;
};
