#pragma once
#include "context/Session.h"
#include "import/CsvFile.h"
#include "import/ImportLogic.h"
#include "standard/EditDialog.h"

#include <QUuid>

class LabeledEdit;
class StringGrid;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;

// The window that imports journal entries from a CSV file into the selected company and
// year: the file's format (detected, overridable), a preview, the mapping of its columns,
// every problem with its file line, and one all-or-nothing save.
class TfrmImport : public EditDialog {
    Q_OBJECT
public:
    TfrmImport(const BookContext& books, QWidget* parent = nullptr);

    // Reads the file, detects its format and shows it; false (after saying why) when it
    // cannot be read or is too large.
    bool openFile(const QString& path);
    // The format and mapping as the boxes show them.
    CsvFormat format() const;
    ImportMapping mapping() const;
    void setFormat(const CsvFormat& format);
    void setMapping(const ImportMapping& mapping);

    // Reads and checks the whole file; the problems are listed in sgProblems.
    bool checkInput() override;
    // Stores every entry in one transaction, numbered in file order; nothing on failure.
    void Save() override;
    // Closing while checking or saving cancels instead (the save then writes nothing).
    void reject() override;

    // The problems grid as tab-separated text with its headings, as Copy puts it on the
    // clipboard.
    QString problemsText() const;
    // Entries and lines of the last check.
    const ImportCheck& lastCheck() const { return m_check; }
    // Called with each progress step while checking and saving (tests press Cancel here).
    std::function<void(int percent)> onProgress;

    QGroupBox* const gbFile;
    LabeledEdit* const edtFile;
    QPushButton* const btnBrowse;
    QComboBox* const cbDelimiter;
    QComboBox* const cbEncoding;
    QCheckBox* const cbHeadings;
    QLabel* const lblFileInfo;
    StringGrid* const sgPreview;
    QGroupBox* const gbMapping;
    QComboBox* const cbEntryKey;
    QComboBox* const cbDate;
    QComboBox* const cbDateFormat;
    QComboBox* const cbEntryDescription;
    QComboBox* const cbAccount;
    QComboBox* const cbLineDescription;
    QComboBox* const cbAmountKind;
    QComboBox* const cbAmount;
    QComboBox* const cbDebit;
    QComboBox* const cbCredit;
    QComboBox* const cbDecimalSeparator;
    QComboBox* const cbThousandsSeparator;
    QComboBox* const cbMappingName;
    QPushButton* const btnSaveMapping;
    QGroupBox* const gbProblems;
    StringGrid* const sgProblems;
    QPushButton* const btnCopyProblems;
    QProgressBar* const pbImport;
    QPushButton* const btnCancel;
    QPushButton* const btnCheck;
    QPushButton* const btnImport;

    static inline const QString Cancelled = QStringLiteral("The import was cancelled.  Nothing was written.");
    static inline const QString Failed = QStringLiteral(
        "The journal entries could not be imported.  Nothing was written.  Please try again.");

private:
    QComboBox* addColumnBox(const QString& name, const QString& caption, int left, int top);
    QList<QComboBox*> columnBoxes() const;
    void reread();
    void fillColumnBoxes();
    void guessMapping();
    void showProblems(const QList<ImportProblem>& problems);
    void amountKindChanged();
    void chooseSavedMapping();
    void saveNamedMapping();
    // Progress and Cancel: false once Cancel was pressed.
    bool step(qsizetype done, qsizetype total);
    void setRunning(bool running);

    BookContext m_books;
    QString m_path;
    QByteArray m_data;
    QString m_hash;
    CsvTable m_table;
    ImportCheck m_check;
    // Made per file read: every attempt to save this import carries it, so a second one
    // after an unconfirmed first cannot store the file twice.
    QString m_saveKey;
    bool m_running = false;
    bool m_cancel = false;
};

// The checks of File → Import Journal Entries…, then the window; answers whether entries
// were imported.
bool openImport(const BookContext& books, QWidget* parent);
