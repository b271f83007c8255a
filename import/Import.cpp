#include "import/Import.h"

#include "context/BookSelection.h"
#include "context/PeriodStore.h"
#include "db/Transaction.h"
#include "import/ImportStore.h"
#include "journal/JournalEntriesTab.h"
#include "journal/JournalStore.h"
#include "setup/AccountStore.h"
#include "standard/LabeledEdit.h"
#include "standard/Standard.h"
#include "standard/StringGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCryptographicHash>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSettings>

namespace {
EditDialogDesign importDesign()
{
    EditDialogDesign d;
    d.name = QStringLiteral("frmImport");
    d.caption = QStringLiteral("Import Journal Entries");
    d.clientSize = {960, 664};
    d.groupName = QStringLiteral("gbFile");
    d.groupCaption = QStringLiteral("File and Format");
    d.groupRect = {8, 8, 944, 112};
    d.okRect = {877, 631, 75, 25};
    d.okName = QStringLiteral("btnImport");
    return d;
}

constexpr int PreviewRows = 10;
// The problems grid lists this many; the rest are counted in its last row.
constexpr int ShownProblems = 1000;

const QList<QPair<QString, char>> Delimiters{
    {QStringLiteral("Comma"), ','}, {QStringLiteral("Semicolon"), ';'}, {QStringLiteral("Tab"), '\t'}};
const QStringList Encodings{
    QStringLiteral("UTF-8"), QStringLiteral("UTF-8 with byte-order mark"), QStringLiteral("Windows-1252")};
const QStringList DateFormats{
    QStringLiteral("dd/mm/yyyy"), QStringLiteral("yyyy-mm-dd"), QStringLiteral("mm/dd/yyyy")};
const QList<QPair<QString, QChar>> Thousands{{QStringLiteral("None"), QChar()},
    {QStringLiteral("Comma"), QLatin1Char(',')}, {QStringLiteral("Point"), QLatin1Char('.')},
    {QStringLiteral("Space"), QLatin1Char(' ')}, {QStringLiteral("Apostrophe"), QLatin1Char('\'')}};

QSettings userSettings() { return QSettings(); }
}

TfrmImport::TfrmImport(const BookContext& books, QWidget* parent)
    : EditDialog(importDesign(), QString(), parent), gbFile(group()),
      edtFile(addEdit(QStringLiteral("edtFile"), QStringLiteral("File"), 8, 36, 700)),
      btnBrowse(named(new QPushButton(QStringLiteral("Browse…"), gbFile), "btnBrowse")),
      cbDelimiter(addList(gbFile, QStringLiteral("cbDelimiter"), {}, 8, 82, 120)),
      cbEncoding(addList(gbFile, QStringLiteral("cbEncoding"), Encodings, 140, 82, 200)),
      cbHeadings(addCheckBox(
          gbFile, QStringLiteral("cbHeadings"), QStringLiteral("First row holds headings"), 352, 84)),
      lblFileInfo(addLabel(gbFile, QStringLiteral("lblFileInfo"), QString(), 560, 86)),
      sgPreview(named(new StringGrid(this), "sgPreview")),
      gbMapping(addGroup(QStringLiteral("gbMapping"), QStringLiteral("Mapping"), {8, 284, 944, 178})),
      cbEntryKey(addColumnBox(QStringLiteral("cbEntryKey"), QStringLiteral("Entry Key"), 8, 40)),
      cbDate(addColumnBox(QStringLiteral("cbDate"), QStringLiteral("Date"), 163, 40)),
      cbDateFormat(addList(gbMapping, QStringLiteral("cbDateFormat"), DateFormats, 318, 40, 145)),
      cbEntryDescription(
          addColumnBox(QStringLiteral("cbEntryDescription"), QStringLiteral("Entry Description"), 473, 40)),
      cbAccount(addColumnBox(QStringLiteral("cbAccount"), QStringLiteral("Account Number"), 628, 40)),
      cbLineDescription(
          addColumnBox(QStringLiteral("cbLineDescription"), QStringLiteral("Line Description"), 783, 40)),
      cbAmountKind(addList(gbMapping, QStringLiteral("cbAmountKind"),
          {QStringLiteral("One amount column"), QStringLiteral("Debit and credit columns")}, 8, 92, 145)),
      cbAmount(addColumnBox(QStringLiteral("cbAmount"), QStringLiteral("Amount"), 163, 92)),
      cbDebit(addColumnBox(QStringLiteral("cbDebit"), QStringLiteral("Debit"), 318, 92)),
      cbCredit(addColumnBox(QStringLiteral("cbCredit"), QStringLiteral("Credit"), 473, 92)),
      cbDecimalSeparator(addList(gbMapping, QStringLiteral("cbDecimalSeparator"),
          {QStringLiteral("Point"), QStringLiteral("Comma")}, 628, 92, 145)),
      cbThousandsSeparator(addList(gbMapping, QStringLiteral("cbThousandsSeparator"), {}, 783, 92, 145)),
      cbMappingName(addList(gbMapping, QStringLiteral("cbMappingName"), {}, 8, 144, 300)),
      btnSaveMapping(named(new QPushButton(QStringLiteral("Save Mapping"), gbMapping), "btnSaveMapping")),
      gbProblems(addGroup(QStringLiteral("gbProblems"), QStringLiteral("Problems"), {8, 468, 944, 155})),
      sgProblems(named(new StringGrid(gbProblems), "sgProblems")),
      btnCopyProblems(named(new QPushButton(QStringLiteral("Copy"), gbProblems), "btnCopyProblems")),
      pbImport(named(new QProgressBar(this), "pbImport")),
      btnCancel(named(new QPushButton(QStringLiteral("Cancel"), this), "btnCancel")),
      btnCheck(named(new QPushButton(QStringLiteral("Check"), this), "btnCheck")), btnImport(okButton()),
      m_books(books)
{
    setTag(edtFile, 1); // a path may be longer than a description
    btnBrowse->setGeometry(716, 34, 90, 25);
    for (const auto& d : Delimiters)
        cbDelimiter->addItem(d.first);
    addLabel(gbFile, QStringLiteral("lblDelimiter"), QStringLiteral("Delimiter"), 8, 65)
        ->setBuddy(cbDelimiter);
    addLabel(gbFile, QStringLiteral("lblEncoding"), QStringLiteral("Encoding"), 140, 65)
        ->setBuddy(cbEncoding);
    lblFileInfo->resize(370, lblFileInfo->sizeHint().height());
    sgPreview->setGeometry(8, 126, 944, 152);
    sgPreview->setDefaultColumnWidth(110);
    sgPreview->setEditable(false);
    sgPreview->setColumnCount(1);
    sgPreview->setRowCount(1);
    addLabel(gbMapping, QStringLiteral("lblDateFormat"), QStringLiteral("Date Format"), 318, 23)
        ->setBuddy(cbDateFormat);
    addLabel(gbMapping, QStringLiteral("lblAmountKind"), QStringLiteral("Amounts"), 8, 75)
        ->setBuddy(cbAmountKind);
    addLabel(gbMapping, QStringLiteral("lblDecimalSeparator"), QStringLiteral("Decimal Separator"), 628, 75)
        ->setBuddy(cbDecimalSeparator);
    for (const auto& t : Thousands)
        cbThousandsSeparator->addItem(t.first);
    addLabel(
        gbMapping, QStringLiteral("lblThousandsSeparator"), QStringLiteral("Thousands Separator"), 783, 75)
        ->setBuddy(cbThousandsSeparator);
    cbMappingName->setEditable(true);
    addLabel(gbMapping, QStringLiteral("lblMappingName"), QStringLiteral("Saved Mapping"), 8, 127)
        ->setBuddy(cbMappingName);
    btnSaveMapping->setGeometry(318, 142, 110, 25);
    sgProblems->setGeometry(8, 20, 830, 126);
    sgProblems->setEditable(false);
    sgProblems->setColumnCount(4);
    sgProblems->setRowCount(1);
    const QStringList headings{QStringLiteral("Line"), QStringLiteral("Column"), QStringLiteral("Text Found"),
        QStringLiteral("Problem")};
    for (int c = 0; c < headings.size(); ++c)
        sgProblems->setCell(c, 0, headings[c]);
    sgProblems->setColumnWidth(0, 60);
    sgProblems->setColumnWidth(1, 130);
    sgProblems->setColumnWidth(2, 180);
    sgProblems->horizontalHeader()->setStretchLastSection(true);
    sgProblems->setSelectionMode(QAbstractItemView::ContiguousSelection);
    btnCopyProblems->setGeometry(846, 20, 90, 25);
    pbImport->setGeometry(8, 631, 600, 25);
    pbImport->setRange(0, 100);
    pbImport->setValue(0);
    btnCancel->setGeometry(616, 631, 75, 25);
    btnCancel->setEnabled(false);
    btnCheck->setGeometry(790, 631, 75, 25);

    FormCreate();
    btnImport->setText(QStringLiteral("Import"));
    btnImport->setDefault(true);
    cbDelimiter->setCurrentIndex(0);
    cbEncoding->setCurrentIndex(0);
    cbDateFormat->setCurrentIndex(0);
    cbAmountKind->setCurrentIndex(0);
    cbDecimalSeparator->setCurrentIndex(0);
    cbThousandsSeparator->setCurrentIndex(0);
    {
        QSettings settings = userSettings();
        cbMappingName->addItems(savedMappingNames(settings));
    }
    cbMappingName->setCurrentIndex(-1);
    fillColumnBoxes();
    amountKindChanged();
    setFirstInput(edtFile);

    connectGuarded(btnBrowse, &QPushButton::clicked, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Import Journal Entries"),
            QFileInfo(edtFile->text()).path(), QStringLiteral("CSV files (*.csv *.txt);;All files (*)"));
        if (!path.isEmpty()) {
            edtFile->setText(path);
            openFile(path);
        }
    });
    connectGuarded(edtFile, &QLineEdit::editingFinished, this, [this] {
        if (!edtFile->text().isEmpty() && edtFile->text() != m_path)
            openFile(edtFile->text());
    });
    for (QComboBox* box : {cbDelimiter, cbEncoding})
        connectGuarded(box, &QComboBox::activated, this, [this] { reread(); });
    connectGuarded(cbHeadings, &QCheckBox::toggled, this, [this] { reread(); });
    connectGuarded(cbAmountKind, &QComboBox::currentIndexChanged, this, [this] { amountKindChanged(); });
    connectGuarded(cbMappingName, &QComboBox::activated, this, [this] { chooseSavedMapping(); });
    connectGuarded(btnSaveMapping, &QPushButton::clicked, this, [this] { saveNamedMapping(); });
    connectGuarded(btnCopyProblems, &QPushButton::clicked, this,
        [this] { QApplication::clipboard()->setText(problemsText()); });
    connectGuarded(btnCheck, &QPushButton::clicked, this, [this] {
        if (checkInput())
            Boodskap(QStringLiteral("The file holds %1 journal entries with %2 lines and no problems.")
                         .arg(m_check.entries.size())
                         .arg(m_check.lineCount));
    });
    connect(btnCancel, &QPushButton::clicked, this, [this] { m_cancel = true; });
}

QComboBox* TfrmImport::addColumnBox(const QString& name, const QString& caption, int left, int top)
{
    QComboBox* box = addList(gbMapping, name, {}, left, top, 145);
    addLabel(gbMapping, QStringLiteral("lbl") + name.mid(2), caption, left, top - 17)->setBuddy(box);
    return box;
}

QList<QComboBox*> TfrmImport::columnBoxes() const
{
    return {
        cbEntryKey, cbDate, cbEntryDescription, cbAccount, cbLineDescription, cbAmount, cbDebit, cbCredit};
}

bool TfrmImport::openFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Boodskap(QStringLiteral("The file %1 cannot be read: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    if (file.size() > MaxCsvFileBytes) {
        Boodskap(csvFileTooLarge(file.size()));
        return false;
    }
    m_data = file.readAll();
    m_path = path;
    if (edtFile->text() != path)
        edtFile->setText(path);
    m_hash = QString::fromLatin1(QCryptographicHash::hash(m_data, QCryptographicHash::Sha256).toHex());
    m_saveKey = QUuid::createUuid().toString(QUuid::WithoutBraces);
    setFormat(detectCsvFormat(m_data));
    guessMapping();
    return true;
}

CsvFormat TfrmImport::format() const
{
    CsvFormat f;
    f.delimiter = Delimiters.value(std::max(cbDelimiter->currentIndex(), 0)).second;
    f.encoding = cbEncoding->currentIndex() == 2 ? TextEncoding::Windows1252 : TextEncoding::Utf8;
    f.byteOrderMark = cbEncoding->currentIndex() == 1;
    f.headings = cbHeadings->isChecked();
    return f;
}

void TfrmImport::setFormat(const CsvFormat& f)
{
    {
        const QSignalBlocker b1(cbDelimiter), b2(cbEncoding), b3(cbHeadings);
        for (int i = 0; i < Delimiters.size(); ++i)
            if (Delimiters[i].second == f.delimiter)
                cbDelimiter->setCurrentIndex(i);
        cbEncoding->setCurrentIndex(f.encoding == TextEncoding::Windows1252 ? 2 : f.byteOrderMark ? 1 : 0);
        cbHeadings->setChecked(f.headings);
    }
    reread();
}

void TfrmImport::reread()
{
    m_table = readCsv(m_data, format());
    m_check = {};
    const qsizetype columns = m_table.columnCount();
    lblFileInfo->setText(m_path.isEmpty()
            ? QString()
            : QStringLiteral("%1 rows of up to %2 columns").arg(m_table.rows.size()).arg(columns));
    // The preview: the file's line number, then its columns under their headings.
    sgPreview->beginUpdate();
    sgPreview->setColumnCount(int(columns) + 1);
    sgPreview->setRowCount(int(std::min<qsizetype>(m_table.rows.size(), PreviewRows)) + 1);
    sgPreview->setCell(0, 0, QStringLiteral("Line"));
    for (int c = 0; c < columns; ++c)
        sgPreview->setCell(c + 1, 0, columnName(m_table, c));
    for (int r = 0; r + 1 < sgPreview->rowCount(); ++r) {
        const CsvRow& row = m_table.rows[r];
        sgPreview->setCell(0, r + 1, QString::number(row.line));
        for (int c = 0; c < columns; ++c)
            sgPreview->setCell(c + 1, r + 1, row.fields.value(c));
    }
    sgPreview->endUpdate();
    sgPreview->setColumnWidth(0, 50);
    fillColumnBoxes();
    showProblems(m_table.error.isEmpty() ? QList<ImportProblem>{}
                                         : QList<ImportProblem>{{0, QString(), QString(), m_table.error}});
}

void TfrmImport::fillColumnBoxes()
{
    const qsizetype columns = m_table.columnCount();
    for (QComboBox* box : columnBoxes()) {
        const int chosen = box->currentData().isValid() ? box->currentData().toInt() : -1;
        const QSignalBlocker block(box);
        box->clear();
        box->addItem(QStringLiteral("(none)"), -1);
        for (int c = 0; c < columns; ++c)
            box->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(columnName(m_table, c)), c);
        box->setCurrentIndex(std::max(box->findData(chosen), 0));
    }
}

void TfrmImport::guessMapping()
{
    // Headings that name a part choose its column; the user checks and corrects the choice.
    ImportMapping m = mapping();
    auto find = [this](std::initializer_list<const char*> words) {
        for (int c = 0; c < m_table.headings.size(); ++c)
            for (const char* w : words)
                if (m_table.headings[c].trimmed().compare(QLatin1String(w), Qt::CaseInsensitive) == 0)
                    return c;
        return -1;
    };
    m.entryKey = find({"entry", "entry key", "key", "reference", "journal entry"});
    m.date = find({"date", "entry date", "journal entry date", "transaction date"});
    m.description = find({"description", "entry description", "journal entry description"});
    m.account = find({"account", "account number", "account nr"});
    m.lineDescription = find({"line description", "line", "narration", "memo"});
    m.amount = find({"amount"});
    m.debit = find({"debit", "debit amount"});
    m.credit = find({"credit", "credit amount"});
    m.debitCredit = m.amount < 0 && m.debit >= 0 && m.credit >= 0;
    setMapping(m);
}

ImportMapping TfrmImport::mapping() const
{
    auto column
        = [](const QComboBox* box) { return box->currentData().isValid() ? box->currentData().toInt() : -1; };
    ImportMapping m;
    m.entryKey = column(cbEntryKey);
    m.date = column(cbDate);
    m.description = column(cbEntryDescription);
    m.account = column(cbAccount);
    m.lineDescription = column(cbLineDescription);
    m.debitCredit = cbAmountKind->currentIndex() == 1;
    m.amount = column(cbAmount);
    m.debit = column(cbDebit);
    m.credit = column(cbCredit);
    m.dateFormat = DateFormat(std::max(cbDateFormat->currentIndex(), 0));
    m.decimalSeparator = cbDecimalSeparator->currentIndex() == 1 ? QLatin1Char(',') : QLatin1Char('.');
    m.thousandsSeparator = Thousands.value(std::max(cbThousandsSeparator->currentIndex(), 0)).second;
    return m;
}

void TfrmImport::setMapping(const ImportMapping& m)
{
    const QList<QPair<QComboBox*, int>> columns{{cbEntryKey, m.entryKey}, {cbDate, m.date},
        {cbEntryDescription, m.description}, {cbAccount, m.account}, {cbLineDescription, m.lineDescription},
        {cbAmount, m.amount}, {cbDebit, m.debit}, {cbCredit, m.credit}};
    for (const auto& [box, column] : columns) {
        // A column the file does not have stays visible as a choice the check refuses.
        if (box->findData(column) < 0)
            box->addItem(QStringLiteral("%1: (not in this file)").arg(column + 1), column);
        box->setCurrentIndex(box->findData(column));
    }
    cbAmountKind->setCurrentIndex(m.debitCredit ? 1 : 0);
    cbDateFormat->setCurrentIndex(int(m.dateFormat));
    cbDecimalSeparator->setCurrentIndex(m.decimalSeparator == QLatin1Char(',') ? 1 : 0);
    for (int i = 0; i < Thousands.size(); ++i)
        if (Thousands[i].second == m.thousandsSeparator)
            cbThousandsSeparator->setCurrentIndex(i);
    amountKindChanged();
}

void TfrmImport::amountKindChanged()
{
    const bool debitCredit = cbAmountKind->currentIndex() == 1;
    cbAmount->setEnabled(!debitCredit);
    cbDebit->setEnabled(debitCredit);
    cbCredit->setEnabled(debitCredit);
}

void TfrmImport::chooseSavedMapping()
{
    QSettings settings = userSettings();
    if (const std::optional<ImportMapping> m = loadMapping(settings, cbMappingName->currentText()))
        setMapping(*m);
}

void TfrmImport::saveNamedMapping()
{
    const QString name = cbMappingName->currentText().trimmed();
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        refuse(cbMappingName, QStringLiteral("Type a name for the mapping (without / or \\) first."));
        return;
    }
    QSettings settings = userSettings();
    if (savedMappingNames(settings).contains(name)
        && !askYesNo(QStringLiteral("A mapping named \"%1\" exists.  Replace it?").arg(name)))
        return;
    saveMapping(settings, name, mapping());
    const QSignalBlocker block(cbMappingName);
    cbMappingName->clear();
    cbMappingName->addItems(savedMappingNames(settings));
    cbMappingName->setCurrentIndex(cbMappingName->findText(name));
}

void TfrmImport::showProblems(const QList<ImportProblem>& problems)
{
    const int shown = int(std::min<qsizetype>(problems.size(), ShownProblems));
    const bool more = problems.size() > shown;
    sgProblems->beginUpdate();
    sgProblems->setRowCount(shown + (more ? 1 : 0) + 1);
    for (int r = 0; r < shown; ++r) {
        const ImportProblem& p = problems[r];
        sgProblems->setCell(0, r + 1, p.line > 0 ? QString::number(p.line) : QString());
        sgProblems->setCell(1, r + 1, p.column);
        sgProblems->setCell(2, r + 1, p.found);
        sgProblems->setCell(3, r + 1, p.message);
    }
    if (more) {
        for (int c = 0; c < 3; ++c)
            sgProblems->setCell(c, shown + 1, QString());
        sgProblems->setCell(3, shown + 1,
            QStringLiteral("%1 further problems are not listed; correct these and check again.")
                .arg(problems.size() - shown));
    }
    sgProblems->endUpdate();
    gbProblems->setTitle(problems.isEmpty() ? QStringLiteral("Problems")
                                            : QStringLiteral("Problems (%1)").arg(problems.size()));
}

QString TfrmImport::problemsText() const
{
    QStringList lines;
    for (int r = 0; r < sgProblems->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < sgProblems->columnCount(); ++c)
            cells << sgProblems->cell(c, r);
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool TfrmImport::step(qsizetype done, qsizetype total)
{
    const int percent = total > 0 ? int(done * 100 / total) : 100;
    pbImport->setValue(percent);
    if (onProgress)
        onProgress(percent);
    // Cancel is the one control that answers while the work runs.
    QCoreApplication::processEvents();
    return !m_cancel;
}

void TfrmImport::setRunning(bool running)
{
    m_running = running;
    m_cancel = false;
    for (QWidget* w :
        {static_cast<QWidget*>(gbFile), static_cast<QWidget*>(gbMapping), static_cast<QWidget*>(btnCheck),
            static_cast<QWidget*>(btnImport), static_cast<QWidget*>(btnCopyProblems)})
        w->setEnabled(!running);
    btnCancel->setEnabled(running);
    if (!running)
        pbImport->setValue(0);
}

void TfrmImport::reject()
{
    if (m_running) {
        m_cancel = true;
        return;
    }
    EditDialog::reject();
}

bool TfrmImport::checkInput()
{
    if (m_path.isEmpty())
        return refuse(edtFile, QStringLiteral("Choose the file to import."));
    if (!m_table.error.isEmpty())
        return refuse(cbDelimiter, m_table.error);
    const ImportMapping m = mapping();
    if (const QString fault = mappingProblem(m); !fault.isEmpty())
        return refuse(gbMapping, fault);
    const std::optional<int> company = m_books.selection.companyId();
    const int year = m_books.selection.yearId();
    if (!company || year < 0)
        return refuse(edtFile, QStringLiteral("Select a company and a financial year to import into."));
    // Read now, not when the window opened: accounts and periods may have changed meanwhile.
    AccountLookup accounts;
    for (const AccountRow& a : AccountStore::ofCompany(*company))
        accounts.add(
            {a.costCentreNumber, a.objectNumber}, {a.id, a.costCentreDescription, a.accountDescription});
    QList<ImportPeriod> periods;
    for (const StoredPeriod& p : PeriodStore::ofYear(year))
        if (p.open == QLatin1String("Yes"))
            periods.append({p.id, p.start, p.end});
    setRunning(true);
    m_check = checkImport(
        m_table, m, accounts, periods, [this](qsizetype done, qsizetype total) { return step(done, total); });
    setRunning(false);
    if (m_check.cancelled) {
        m_check = {};
        Boodskap(Cancelled, false);
        return false;
    }
    showProblems(m_check.problems);
    if (!m_check.problems.isEmpty()) {
        Boodskap(QStringLiteral("The file has %1 problem(s); nothing was imported.  Each is listed under "
                                "Problems with its line in the file.")
                     .arg(m_check.problems.size()),
            false);
        sgProblems->setCurrentCell(3, 1);
        sgProblems->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void TfrmImport::Save()
{
    const int company = *m_books.selection.companyId();
    const QString fileName = QFileInfo(m_path).fileName();
    bool seenAccepted = false;
    if (const std::optional<ImportedFile> seen = ImportStore::latest(company, m_hash)) {
        // This window's own earlier save, whose outcome was not confirmed: it is in.
        if (seen->saveKey == m_saveKey) {
            Boodskap(ConfirmedSave, false);
            accept();
            return;
        }
        if (!askYesNo(QStringLiteral("This file (%1) was imported into this company on %2 by %3: %4 journal "
                                     "entries.  Import it again?")
                          .arg(seen->fileName, seen->importedAt.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
                              seen->importedByLogin)
                          .arg(seen->entryCount)))
            return;
        seenAccepted = true;
    }
    const QList<ImportEntry>& entries = m_check.entries;
    QSet<int> periodIds;
    for (const ImportEntry& e : entries)
        periodIds.insert(e.periodId);
    qint64 first = 0, last = 0;
    JournalChainTail tail;
    setRunning(true);
    const SaveResult result = saveInTransaction(
        [&](Transaction&) {
            // Numbered under the company's lock, as the entry window numbers: saves on
            // other workstations wait for this one and number after it.
            tail = JournalStore::lastNumberForUpdate(company);
            last = tail.lastNumber;
            first = 0;
            // Under that lock, a second import of the same file cannot slip in unasked.
            if (!seenAccepted && ImportStore::latest(company, m_hash))
                throw SaveRefused{nullptr,
                    QStringLiteral(
                        "Another user has just imported this file into this company.  Nothing was written."),
                    {}};
            ImportStore::insert({company, m_hash, fileName.left(255), int(entries.size()),
                int(m_check.lineCount), m_books.session.userId(), Now(), {}, m_saveKey});
            for (const int period : periodIds)
                if (PeriodStore::openFlagForUpdate(period).value_or(QString()) != QLatin1String("Yes"))
                    throw SaveRefused{nullptr,
                        QStringLiteral(
                            "A period the file's dates fall in was closed meanwhile.  Nothing was written."),
                        {}};
            const QUuid fileKey(m_saveKey);
            for (qsizetype i = 0; i < entries.size(); ++i) {
                const ImportEntry& e = entries[i];
                const std::optional<int> number = journalNumberAfter(last);
                if (!number)
                    throw SaveRefused{nullptr, journalNumbersExhausted(), {}};
                last = *number;
                if (first == 0)
                    first = last;
                NewJournalEntry entry{last, company, m_books.session.userId(), e.date, e.description,
                    QUuid::createUuidV5(fileKey, QString::number(i)).toString(QUuid::WithoutBraces), {}};
                for (const ImportLine& l : e.lines)
                    entry.lines.append({l.accountId, l.description, l.amount.toDbString()});
                JournalStore::insert(entry, tail);
                if (i % 50 == 0 && !step(i, entries.size()))
                    throw SaveRefused{nullptr, Cancelled, {}};
            }
            // The last chance to cancel: after this the commit runs.
            if (!step(entries.size(), entries.size()))
                throw SaveRefused{nullptr, Cancelled, {}};
        },
        [this] { return ImportStore::saved(m_saveKey); }, Failed);
    setRunning(false);
    if (result != SaveResult::Saved)
        return;
    if (first > 0)
        Boodskap(QStringLiteral("%1 journal entries with %2 lines were imported as JE %3 to JE %4.")
                     .arg(entries.size())
                     .arg(m_check.lineCount)
                     .arg(first)
                     .arg(last),
            false);
    accept();
}

bool openImport(const BookContext& books, QWidget* parent)
{
    if (!mayCreateJournalEntries(books, false))
        return false;
    if (books.selection.yearId() < 0) {
        Boodskap(QStringLiteral("Please select the financial year to import into first."));
        books.selection.askCorrection(BookPart::Year);
        return false;
    }
    TfrmImport frmImport(books, parent);
    return frmImport.exec() == QDialog::Accepted;
}
