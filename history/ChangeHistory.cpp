#include "history/ChangeHistory.h"

#include "context/BookSelection.h"
#include "db/Query.h"
#include "history/HistoryStore.h"
#include "history/HistoryValues.h"
#include "setup/AdministratorWindow.h"
#include "standard/DataGrid.h"
#include "standard/LinkLabel.h"
#include "standard/ListWindow.h"
#include "standard/Standard.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace {
VerseDesign historyVerse()
{
    VerseDesign v;
    v.box = {8, 400, 166, 152};
    v.reference = QStringLiteral("Luke 8:17");
    v.path = QStringLiteral("/luke/8-17.htm");
    // King James Version.
    v.text = QStringLiteral("For nothing is secret, that shall not be made manifest; neither any thing hid, "
                            "that shall not be known and come abroad.");
    v.textSize = {150, 105};
    return v;
}

QLabel* caption(const QString& text, QWidget* buddy, QWidget* parent, int top)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->move(8, top);
    label->adjustSize();
    return label;
}
}

QString TfrmChangeHistory::outsideTheProgram() { return QStringLiteral("(outside the program)"); }

TfrmChangeHistory::TfrmChangeHistory(const BookContext& books, Query* list, QWidget* parent)
    : QDialog(parent), gbFilter(named(new QGroupBox(QStringLiteral("Filter"), this), "gbFilter")),
      cbTable(named(new QComboBox(gbFilter), "cbTable")), cbUser(named(new QComboBox(gbFilter), "cbUser")),
      dtpFrom(named(new QDateEdit(gbFilter), "dtpFrom")), dtpTo(named(new QDateEdit(gbFilter), "dtpTo")),
      dbgChangeHistory(named(new DataGrid(this), "dbgChangeHistory")),
      lblNoChanges(named(new QLabel(QStringLiteral("~ No changes recorded ~"), this), "lblNoChanges")),
      sgChangeValues(named(new QTableWidget(0, 3, this), "sgChangeValues")), m_books(books),
      m_list(list ? list : new Query(this, QStringLiteral("qrChangeHistory")))
{
    setObjectName(QStringLiteral("frmChangeHistory"));
    setWindowTitle(QStringLiteral("Setup -> Change History"));
    resize(900, 560);

    gbFilter->setGeometry(8, 24, 166, 230);
    caption(QStringLiteral("&Table"), cbTable, gbFilter, 20);
    cbTable->setGeometry(8, 38, 150, 24);
    caption(QStringLiteral("&User"), cbUser, gbFilter, 70);
    cbUser->setGeometry(8, 88, 150, 24);
    caption(QStringLiteral("&From"), dtpFrom, gbFilter, 120);
    dtpFrom->setGeometry(8, 138, 150, 24);
    caption(QStringLiteral("T&o"), dtpTo, gbFilter, 170);
    dtpTo->setGeometry(8, 188, 150, 24);
    for (QDateEdit* d : {dtpFrom, dtpTo}) {
        d->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        d->setCalendarPopup(true);
    }

    lblNoChanges->adjustSize();
    lblNoChanges->move(200, 44);
    dbgChangeHistory->setGeometry(180, 24, 712, 280);
    dbgChangeHistory->setQuery(m_list);
    dbgChangeHistory->setColumns({{QStringLiteral("changed at"), QStringLiteral("Changed At"), 130},
        {QStringLiteral("login name"), QStringLiteral("User"), 90},
        {QStringLiteral("database account"), QStringLiteral("Database Account"), 110},
        {QStringLiteral("workstation"), QStringLiteral("Workstation"), 100},
        {QStringLiteral("table name"), QStringLiteral("Table"), 120},
        {QStringLiteral("row id"), QStringLiteral("Row"), 60},
        {QStringLiteral("action"), QStringLiteral("Change"), 60}});

    sgChangeValues->setGeometry(180, 312, 712, 240);
    sgChangeValues->setHorizontalHeaderLabels(
        {QStringLiteral("Field"), QStringLiteral("Before"), QStringLiteral("After")});
    sgChangeValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
    sgChangeValues->verticalHeader()->hide();
    sgChangeValues->horizontalHeader()->setStretchLastSection(true);
    sgChangeValues->setColumnWidth(0, 170);
    sgChangeValues->setColumnWidth(1, 260);

    const HelpAndVerse parts = addHelpAndVerse(this, 864, historyVerse());
    lblHelp = parts.help;
    gbBibleVerse = parts.box;
    lblBibleVerseLink = parts.link;
    lblVerse = parts.verse;

    setTabOrder(cbTable, cbUser);
    setTabOrder(cbUser, dtpFrom);
    setTabOrder(dtpFrom, dtpTo);
    setTabOrder(dtpTo, dbgChangeHistory);
    setTabOrder(dbgChangeHistory, sgChangeValues);
    setTabOrder(sgChangeValues, lblHelp);
    setTabOrder(lblHelp, lblBibleVerseLink);

    // IniForm empties the boxes and sets the dates to today: they are filled after it.
    IniForm(this, true);
    dtpFrom->setDate(Today().addMonths(-1));
    dtpTo->setDate(Today());
    cbTable->addItem(QStringLiteral("All tables"));
    for (const QString& table : HistoryStore::tableNames())
        cbTable->addItem(table, table);
    fillUsers();
    Load(true);
    cbTable->setFocus(Qt::OtherFocusReason);

    auto reload = [this] { Load(false); };
    connectGuarded(cbTable, &QComboBox::currentIndexChanged, this, reload);
    connectGuarded(cbUser, &QComboBox::currentIndexChanged, this, reload);
    connectGuarded(dtpFrom, &QDateEdit::dateChanged, this, reload);
    connectGuarded(dtpTo, &QDateEdit::dateChanged, this, reload);
    connectGuarded(m_list, &Query::currentRowChanged, this, [this] { showSelectedChange(); });
    connectGuarded(lblHelp, &LinkLabel::clicked, this, [this] { lblHelpClick(); });
    connectGuarded(lblBibleVerseLink, &LinkLabel::clicked, this, [this] { lblBibleVerseLinkClick(); });
}

void TfrmChangeHistory::fillUsers()
{
    cbUser->addItem(QStringLiteral("All users"));
    for (const QString& login : HistoryStore::loginNames(m_books.selection.companyId().value()))
        cbUser->addItem(login.isEmpty() ? outsideTheProgram() : login, login);
}

void TfrmChangeHistory::Load(bool OnCreateForm)
{
    HistoryFilter filter;
    filter.companyId = m_books.selection.companyId().value();
    filter.from = dtpFrom->date();
    filter.to = dtpTo->date();
    filter.table = cbTable->currentData().toString();
    if (cbUser->currentIndex() > 0)
        filter.login = cbUser->currentData().toString();
    const ListStatement statement = HistoryStore::listOf(filter);
    m_list->setSql(statement.lines);
    for (const auto& [name, value] : statement.bindings)
        m_list->bind(name, value);
    m_list->open();
    m_list->first();
    dbgChangeHistory->setVisible(!m_list->isEmpty());
    lblNoChanges->setVisible(m_list->isEmpty());
    if (!OnCreateForm && m_list->isEmpty())
        sgChangeValues->setRowCount(0);
    showSelectedChange();
}

void TfrmChangeHistory::showSelectedChange()
{
    sgChangeValues->setRowCount(0);
    if (m_list->isEmpty() || m_list->eof())
        return;
    const std::optional<HistoryRecordValues> values
        = HistoryStore::values(m_list->value(QStringLiteral("id")).toLongLong());
    if (!values)
        return;
    const QList<HistoryFieldChange> fields = compareHistoryValues(values->before, values->after);
    sgChangeValues->setRowCount(int(fields.size()));
    for (int row = 0; row < fields.size(); ++row) {
        const HistoryFieldChange& f = fields[row];
        const QStringList texts = {f.field, f.before, f.after};
        for (int col = 0; col < 3; ++col) {
            auto* item = new QTableWidgetItem(texts[col]);
            // A changed field is marked in bold on a light yellow ground, and says so to
            // screen readers and tests through its tool tip.
            if (f.changed) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(255, 244, 179));
                item->setToolTip(QStringLiteral("Changed"));
            }
            sgChangeValues->setItem(row, col, item);
        }
    }
}

void TfrmChangeHistory::lblHelpClick() { Browse(helpUrl(QStringLiteral("/blog/change-history/"))); }

void TfrmChangeHistory::lblBibleVerseLinkClick() { Browse(verseUrl(historyVerse().path)); }

void TfrmChangeHistory::done(int result)
{
    if (!m_closed) {
        m_closed = true;
        SaveForm(this);
    }
    QDialog::done(result);
}

bool openChangeHistory(const BookContext& books, QWidget* parent)
{
    return openAdministratorWindow<TfrmChangeHistory>(
        books, nullptr, parent, QStringLiteral("Change History"));
}
