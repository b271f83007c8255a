#include "standard/Standard.h"

#include "WebSites.h"
#include "db/DbError.h"
#include "db/Query.h"
#include "standard/DataGrid.h"
#include "standard/LabeledEdit.h"
#include "standard/StringGrid.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHeaderView>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextStream>
#include <QUrl>

namespace {
std::function<bool(const QString&, bool)> g_boodskapHandler;
std::function<void(const QString&)> g_errorHandler;
QDateTime g_fixedClock;

QString applicationTitle() { return QStringLiteral("Veldra Accounting"); }

QString layoutFile(const QObject* component)
{
    return layoutDir() + component->objectName() + QStringLiteral(".txt");
}

void writeLines(const QString& path, const QList<int>& values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    QByteArray out;
    for (int v : values)
        out += QByteArray::number(v) + "\r\n";
    f.write(out);
}

// One entry per line; a line that is not a whole number (a file edited by hand or cut
// short) is an empty entry, so that line alone is ignored.
std::optional<QList<std::optional<int>>> readLines(const QString& path)
{
    QFile f(path);
    if (!f.exists() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The program writes a few hundred bytes at most; anything much larger is not one of
    // its files and is ignored rather than read whole.
    constexpr qint64 largest = 4096;
    const QByteArray content = f.read(largest + 1);
    if (content.size() > largest)
        return std::nullopt;
    QList<std::optional<int>> lines;
    const QList<QByteArray> raw = content.split('\n');
    for (int i = 0; i < raw.size(); ++i) {
        QByteArray line = raw[i].trimmed();
        if (i == raw.size() - 1 && line.isEmpty())
            break; // the terminator of the last line
        bool ok = false;
        const int v = line.toInt(&ok);
        lines.append(ok ? std::optional<int>(v) : std::nullopt);
    }
    return lines;
}

int clampWidth(int w) { return std::clamp(w, 50, 400); }

bool hasDialogBorder(const QWidget* form) { return form->property("dialogBorder").toBool(); }

// A grid the window designed: not the table inside a date picker's calendar pop-up or
// another of Qt's own parts, which have no name of ours and must keep their widths.
bool isFormGrid(const QTableView* view)
{
    if (qobject_cast<const StringGrid*>(view) || qobject_cast<const DataGrid*>(view))
        return true;
    const QString name = view->objectName();
    return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}
}

// Messages ------------------------------------------------------------------------

int messageBoxMinimumWidth(const QString& title)
{
    // The frame draws the title in its own font, beside an icon and three buttons.
    const QFontMetrics metrics(QFontDatabase::systemFont(QFontDatabase::TitleFont));
    return metrics.horizontalAdvance(title) + 3 * metrics.height() + 120;
}

void prepareMessageBox(QMessageBox& box)
{
    // Messages can quote what a user typed; it is shown as typed, never read as markup,
    // and can be selected and copied (an address that could not be opened, say).
    box.setTextFormat(Qt::PlainText);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A message box sizes itself to its text: a short text would cut the title off.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(messageBoxMinimumWidth(box.windowTitle()), 0, QSizePolicy::Minimum,
                          QSizePolicy::Fixed),
            grid->rowCount(), 0, 1, grid->columnCount());
}

namespace {
// Shows the box over the active window and gives that window the keyboard back after it:
// the desktop need not, and what the user types next belongs where the message sent them.
int execMessageBox(QMessageBox& box)
{
    const QPointer<QWidget> owner = box.parentWidget();
    prepareMessageBox(box);
    const int answer = box.exec();
    if (owner && owner->isVisible())
        owner->activateWindow();
    return answer;
}
}

bool Boodskap(const QString& BoodskapS, bool Vraag)
{
    if (g_boodskapHandler)
        return g_boodskapHandler(BoodskapS, Vraag);
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), BoodskapS,
        Vraag ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::Ok, QApplication::activeWindow());
    const int answer = execMessageBox(box);
    return !Vraag || answer == QMessageBox::Ok;
}

bool askYesNo(const QString& question)
{
    if (g_boodskapHandler)
        return g_boodskapHandler(question, true);
    QMessageBox box(QMessageBox::Question, applicationTitle(), question, QMessageBox::Yes | QMessageBox::No,
        QApplication::activeWindow());
    // No is the safe answer: Enter alone must not throw anything away.
    box.setDefaultButton(QMessageBox::No);
    return execMessageBox(box) == QMessageBox::Yes;
}

void SetBoodskapHandler(std::function<bool(const QString&, bool)> handler)
{
    g_boodskapHandler = std::move(handler);
}

void ShowStandardError(const QString& text)
{
    if (g_errorHandler) {
        g_errorHandler(text);
        return;
    }
    QMessageBox box(
        QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    execMessageBox(box);
}

void SetStandardErrorHandler(std::function<void(const QString&)> handler)
{
    g_errorHandler = std::move(handler);
}

namespace {
// A transaction whose owner let an error through must not stay open: its half-written
// rows would be committed by whoever starts the next one.
void abandonOpenTransaction()
{
    if (Connection* c = Connection::current(); c && c->inTransaction())
        c->rollback();
}
}

void guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const DbError& e) {
        abandonOpenTransaction();
        ShowStandardError(e.text());
    } catch (const ProgramError& e) {
        abandonOpenTransaction();
        ShowStandardError(QStringLiteral("Internal program error: ") + e.text());
    } catch (const std::exception& e) {
        abandonOpenTransaction();
        ShowStandardError(QString::fromUtf8(e.what()));
    }
}

// Clock ---------------------------------------------------------------------------

QDate Today() { return Now().date(); }
QDateTime Now() { return g_fixedClock.isValid() ? g_fixedClock : QDateTime::currentDateTime(); }
void SetClockForTesting(const QDateTime& fixed) { g_fixedClock = fixed; }

// Folders -------------------------------------------------------------------------

QString LocalDrive() { return QDir::rootPath().left(1); }

QString MainDir(bool MetSlash)
{
    const QString dir = QCoreApplication::applicationDirPath();
    return MetSlash ? dir + QLatin1Char('/') : dir;
}

QString shippedFile(const QString& relative, const QString& programDir)
{
    const QString beside = programDir + QLatin1Char('/') + relative;
    const QString installed
        = QDir::cleanPath(programDir + QStringLiteral("/../share/veldra-accounting/") + relative);
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return installed;
    return beside;
}

QString layoutDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/')
        + applicationTitle() + QLatin1Char('/');
}

// Forms ---------------------------------------------------------------------------

void IniForm(QWidget* form, bool Dialog)
{
    if (Dialog) {
        form->setProperty("dialogBorder", true);
        // A fixed size has nothing to maximise: the frame offers a title and Close only.
        form->setWindowFlags((form->windowFlags() & ~Qt::WindowMinMaxButtonsHint) | Qt::CustomizeWindowHint
            | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
            | Qt::MSWindowsFixedSizeDialogHint);
        form->setFixedSize(form->size());
        if (QScreen* screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen()) {
            const QRect desk = screen->availableGeometry();
            form->move(desk.center() - QPoint(form->width() / 2, form->height() / 2));
        }
    }
    const QList<QObject*> components = form->findChildren<QObject*>();
    for (QObject* c : components) {
        if (auto* edit = qobject_cast<LabeledEdit*>(c)) {
            if (Tag(edit) == 0) {
                edit->setMaxLength(50);
                edit->clear();
            }
        } else if (auto* combo = qobject_cast<QComboBox*>(c)) {
            if (Tag(combo) == 0) {
                combo->clear();
                combo->setCurrentIndex(-1);
                combo->setMaxVisibleItems(100);
            }
        } else if (auto* button = qobject_cast<QPushButton*>(c)) {
            if (button->text().toLower() == QLatin1String("ok"))
                button->setDefault(true);
        } else if (auto* date = qobject_cast<QDateEdit*>(c)) {
            date->setDate(Today());
        } else if (auto* pages = qobject_cast<QTabWidget*>(c)) {
            QSignalBlocker block(pages);
            pages->setCurrentIndex(0);
        } else if (auto* sg = qobject_cast<StringGrid*>(c)) {
            LoadSG(sg);
        } else if (auto* dbg = qobject_cast<QTableView*>(c); dbg && isFormGrid(dbg)) {
            LoadDBG(dbg);
        }
    }
}

void SaveForm(QWidget* form)
{
    if (!hasDialogBorder(form)) {
        const bool maximised = form->isMaximized();
        writeLines(
            layoutFile(form), {form->x(), form->y(), form->width(), form->height(), maximised ? 1 : 0});
    }
    const QList<QObject*> components = form->findChildren<QObject*>();
    for (QObject* c : components) {
        if (auto* sg = qobject_cast<StringGrid*>(c))
            SaveSG(sg);
        else if (auto* dbg = qobject_cast<QTableView*>(c); dbg && isFormGrid(dbg))
            SaveDBG(dbg);
    }
}

void LoadForm(QWidget* form)
{
    const auto lines = readLines(layoutFile(form));
    if (!lines)
        return;
    auto at = [&](int i) { return i < lines->size() ? (*lines)[i] : std::nullopt; };
    QPoint pos = form->pos();
    QSize size = form->size();
    // Far beyond any screen either way; the bound keeps the arithmetic below in range.
    constexpr int farthest = 1000000;
    if (at(0))
        pos.setX(std::clamp(*at(0), -farthest, farthest));
    if (at(1))
        pos.setY(std::clamp(*at(1), -farthest, farthest));
    if (at(2) && *at(2) > 0)
        size.setWidth(*at(2));
    if (at(3) && *at(3) > 0)
        size.setHeight(*at(3));
    // A file from another screen setup (an unplugged monitor, a hand-edited value) must
    // not hide the window or make it larger than any screen.
    const QList<QScreen*> screens = QGuiApplication::screens();
    QSize largest;
    for (const QScreen* screen : screens)
        largest = largest.expandedTo(screen->availableGeometry().size());
    if (!largest.isEmpty())
        size = size.boundedTo(largest);
    auto reachable = [&](const QRect& window) {
        for (const QScreen* screen : screens) {
            const QRect desk = screen->availableGeometry();
            const QRect shown = desk.intersected(window);
            // Its top edge (the title bar) on the screen, and enough of it to take hold of.
            if (window.top() >= desk.top() && window.top() < desk.bottom()
                && shown.width() >= std::min(window.width(), 100)
                && shown.height() >= std::min(window.height(), 50))
                return true;
        }
        return screens.isEmpty();
    };
    if (!reachable(QRect(pos, size))) {
        const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
        pos = desk.center() - QPoint(size.width() / 2, size.height() / 2);
        pos = QPoint(std::max(pos.x(), desk.left()), std::max(pos.y(), desk.top()));
    }
    form->move(pos);
    form->resize(size);
    if (at(4) && *at(4) == 1)
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
}

// Grids ---------------------------------------------------------------------------

namespace {
// The columns a layout file describes: a DataGrid's defined columns, a plain view's
// shown columns, a string grid's current columns.
QList<int> gridWidths(QTableView* grid)
{
    QList<int> widths;
    if (auto* dg = qobject_cast<DataGrid*>(grid)) {
        for (int i = 0; i < dg->columns().size(); ++i)
            widths << dg->gridColumnWidth(i);
    } else if (grid->model()) {
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            if (!grid->isColumnHidden(c))
                widths << grid->columnWidth(c);
    }
    return widths;
}

void setGridWidths(QTableView* grid, const QList<std::optional<int>>& lines)
{
    if (auto* dg = qobject_cast<DataGrid*>(grid)) {
        for (int i = 0; i < dg->columns().size(); ++i) {
            int w = dg->gridColumnWidth(i);
            if (i < lines.size() && lines[i])
                w = *lines[i];
            dg->setGridColumnWidth(i, clampWidth(w));
        }
        return;
    }
    if (!grid->model())
        return;
    int n = 0;
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->isColumnHidden(c))
            continue;
        int w = grid->columnWidth(c);
        if (n < lines.size() && lines[n])
            w = *lines[n];
        grid->setColumnWidth(c, clampWidth(w));
        ++n;
    }
}
}

void SaveDBG(QTableView* DBG) { writeLines(layoutFile(DBG), gridWidths(DBG)); }
void SaveSG(StringGrid* SG) { writeLines(layoutFile(SG), gridWidths(SG)); }

void LoadDBG(QTableView* DBG)
{
    setGridWidths(DBG, readLines(layoutFile(DBG)).value_or(QList<std::optional<int>>()));
}

void LoadSG(StringGrid* SG)
{
    setGridWidths(SG, readLines(layoutFile(SG)).value_or(QList<std::optional<int>>()));
}

// Combo boxes ---------------------------------------------------------------------

void LoadFieldToCB(
    QComboBox* Combobox, Query& Table, const QString& IDField, const QString& TextField, bool AddAll)
{
    const int idCol = Table.fieldIndex(IDField), textCol = Table.fieldIndex(TextField);
    if (Table.recordCount() > 0 && (idCol < 0 || textCol < 0))
        throw DbError(QStringLiteral("Field '%1' or '%2' not found").arg(IDField, TextField));
    QList<ComboItem> items;
    for (int r = 0; r < Table.recordCount(); ++r)
        items.append({Table.value(r, idCol).toInt(), Table.value(r, textCol).toString()});
    if (Table.recordCount() > 0)
        Table.first();
    LoadItemsToCB(Combobox, items, AddAll);
}

void LoadItemsToCB(QComboBox* Combobox, const QList<ComboItem>& items, bool AddAll)
{
    QSignalBlocker block(Combobox);
    const int remembered = Combobox->currentIndex() >= 0 ? Combobox->currentData().toInt() : 0;
    Combobox->clear();
    if (items.isEmpty()) {
        Combobox->setCurrentIndex(-1);
        return;
    }
    if (AddAll && items.size() > 1)
        Combobox->addItem(QStringLiteral("All"), 0);
    for (const ComboItem& item : items)
        Combobox->addItem(item.text, item.id);
    int index = -1;
    if (remembered != 0)
        index = Combobox->findData(remembered);
    Combobox->setCurrentIndex(index);
}

int selectedId(const QComboBox* box) { return box->currentIndex() < 0 ? -1 : box->currentData().toInt(); }

bool selectId(QComboBox* box, int id)
{
    const int index = box->findData(id);
    if (index < 0)
        return false;
    QSignalBlocker block(box);
    box->setCurrentIndex(index);
    return true;
}

// Links ---------------------------------------------------------------------------

void Browse(const QString& URL)
{
    // Without a browser the link would do nothing at all: the user gets the address instead.
    if (!QDesktopServices::openUrl(QUrl(URL)))
        Boodskap(QStringLiteral("The page could not be opened.  Its address is:\n\n") + URL);
}

QString helpUrl(const QString& path)
{
    const QString site = QStringLiteral(VELDRA_HELP_SITE);
    if (!site.isEmpty())
        return site + path;
    // The pages shipped beside the program: "/blog/companies" is help/blog/companies.html.
    QString local = path;
    while (local.endsWith(QLatin1Char('/')))
        local.chop(1);
    return QUrl::fromLocalFile(shippedFile(QStringLiteral("help") + local + QStringLiteral(".html")))
        .toString();
}

QString verseUrl(const QString& path) { return QStringLiteral(VELDRA_VERSE_SITE) + path; }

// Keyboard order ------------------------------------------------------------------

namespace {
// A part of a compound control (the line edit of a date picker or a combo box, an item
// view's editor), which follows its owner in the chain and has no place of its own.
bool isInnerPart(const QWidget* w, const QWidget* form)
{
    for (const QWidget* p = w->parentWidget(); p && p != form; p = p->parentWidget())
        if (qobject_cast<const QAbstractSpinBox*>(p) || qobject_cast<const QComboBox*>(p)
            || qobject_cast<const QAbstractItemView*>(p))
            return true;
    return false;
}

bool isOkButton(const QWidget* w)
{
    const auto* b = qobject_cast<const QPushButton*>(w);
    return b && (b->isDefault() || b->text().toLower() == QLatin1String("ok"));
}
}

void setTabOrderByPosition(QWidget* form)
{
    struct Placed {
        QWidget* widget;
        QPoint at;
    };
    QList<Placed> placed;
    for (QWidget* w : form->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->isWindow() || isInnerPart(w, form))
            continue;
        placed.append({w, w->mapTo(form, QPoint(0, 0))});
    }
    std::stable_sort(
        placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.at.y() < b.at.y(); });
    // Controls whose tops lie within a few pixels of a line's first one share that line
    // and are read left to right.
    constexpr int sameLine = 8;
    QList<QWidget*> order, last;
    for (qsizetype i = 0; i < placed.size();) {
        qsizetype end = i + 1;
        while (end < placed.size() && placed[end].at.y() - placed[i].at.y() < sameLine)
            ++end;
        std::stable_sort(placed.begin() + i, placed.begin() + end,
            [](const Placed& a, const Placed& b) { return a.at.x() < b.at.x(); });
        for (qsizetype k = i; k < end; ++k)
            (isOkButton(placed[k].widget) ? last : order).append(placed[k].widget);
        i = end;
    }
    order += last;
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QWidget* focusFirstInput(QWidget* form)
{
    QWidget* w = form;
    while ((w = w->nextInFocusChain()) != form) {
        if (w->window() != form || !(w->focusPolicy() & Qt::TabFocus) || !w->isEnabled()
            || (form->isVisible() && !w->isVisible()) || w->isHidden())
            continue;
        if (qobject_cast<QPushButton*>(w) || w->inherits("LinkLabel"))
            continue;
        // Other reason: a box keeps its cursor at the start, where its text shows from.
        w->setFocus(Qt::OtherFocusReason);
        return w;
    }
    return nullptr;
}

int Tag(const QObject* control) { return control->property("tag").toInt(); }
void setTag(QObject* control, int tag) { control->setProperty("tag", tag); }
