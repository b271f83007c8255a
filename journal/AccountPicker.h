#pragma once
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

class QCompleter;
class QLineEdit;
class QStringListModel;

// One account the picker can offer.
struct PickableAccount {
    QString number; // "cost centre.object", what goes into the cell
    QString costCentreDescription;
    QString accountDescription;
};

// Offers the company's accounts by name while an account number cell is typed in: every
// account whose number, cost centre or account description holds the typed text, shown as
// "1.11111  Head Office / Current account". It filters what the window loaded; it never
// asks the database.
class AccountPicker : public QObject {
    Q_OBJECT
public:
    explicit AccountPicker(QObject* parent = nullptr);
    void setAccounts(const QList<PickableAccount>& accounts);

    // Whether typed text asks for the picker: anything but a number as users type one.
    static bool asksForPicker(const QString& text);
    // The accounts that match `text` (every account for an empty text), in number order.
    QStringList matches(const QString& text) const;
    // Shows the matches under `editor`; hides the list when there are none.
    void offer(QLineEdit* editor, const QString& text);
    void hide();
    bool isShown() const;
    // The offered rows, as shown.
    QStringList offered() const;
    // Takes the offered row as the choice, as a click or Enter on it does.
    void choose(int row);

signals:
    // The number of the account chosen.
    void chosen(const QString& number);

private:
    struct Entry {
        QString number;
        QString shown;
        QString haystack; // lower case: number, cost centre, account
    };
    QVector<int> matching(const QString& text) const;
    QVector<Entry> m_entries;
    QVector<int> m_offered; // indexes into m_entries
    QCompleter* m_completer;
    QStringListModel* m_model;
};
