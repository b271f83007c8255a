#include "standard/ListWindow.h"

#include "db/DbError.h"
#include "db/Query.h"
#include "db/Transaction.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>

namespace {
QPushButton* makeButton(const ButtonDesign& design, QWidget* parent, const QRect& rect)
{
    auto* button = new QPushButton(design.caption, parent);
    button->setObjectName(design.name);
    button->setGeometry(rect);
    return button;
}
}

HelpAndVerse addHelpAndVerse(QWidget* window, int helpLeft, const VerseDesign& verse)
{
    auto* help = new LinkLabel(QStringLiteral("Help"), window);
    help->setObjectName(QStringLiteral("lblHelp"));
    help->adjustSize();
    help->move(helpLeft, 5);

    auto* box = new QGroupBox(QStringLiteral("Bible Verse"), window);
    box->setObjectName(QStringLiteral("gbBibleVerse"));
    box->setGeometry(verse.box);
    auto* link = new LinkLabel(verse.reference, box);
    link->setObjectName(QStringLiteral("lblBibleVerseLink"));
    link->adjustSize();
    link->move(8, 16);
    auto* text = new QLabel(verse.text, box);
    text->setObjectName(QStringLiteral("lblVerse"));
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    text->setGeometry(QRect(QPoint(8, 35), verse.textSize));
    // Every setup window quotes its verse in the same font, smaller only where a verse
    // cannot fit its room in it.
    QFont verseFont = text->font();
    verseFont.setPointSizeF(7);
    text->setFont(verseFont);
    fitTextToLabel(text);
    return {help, box, link, text};
}

// List window ---------------------------------------------------------------------

ListWindow::ListWindow(const ListWindowDesign& design, QWidget* parent) : QDialog(parent), m_design(design)
{
    setObjectName(design.name);
    setWindowTitle(design.caption);
    resize(design.clientSize);

    m_new = makeButton(design.newButton, this, {8, 8, 166, 25});
    m_edit = makeButton(design.editButton, this, {8, 39, 166, 25});

    // The empty label lies under the grid: it shows only while the grid is hidden.
    if (!design.emptyName.isEmpty()) {
        m_empty = new QLabel(design.emptyText, this);
        m_empty->setObjectName(design.emptyName);
        m_empty->adjustSize();
        m_empty->move(200, 44);
    }
    m_grid = new DataGrid(this);
    m_grid->setObjectName(design.gridName);
    m_grid->setGeometry(design.gridRect);
    m_grid->setQuery(design.listQuery);
    // The designed widths are a minimum: a title is never cut off in this system's font.
    QList<GridColumn> columns = design.columns;
    const QFontMetrics header(m_grid->horizontalHeader()->font());
    for (GridColumn& c : columns)
        c.width = std::max(c.width, header.horizontalAdvance(c.title) + 2 * header.averageCharWidth());
    m_grid->setColumns(columns);

    const HelpAndVerse parts = addHelpAndVerse(this, design.helpLeft, design.verse);
    m_help = parts.help;
    m_verseBox = parts.box;
    m_verseLink = parts.link;
    m_verse = parts.verse;

    connectGuarded(m_new, &QPushButton::clicked, this, [this] { newClicked(); });
    connectGuarded(m_edit, &QPushButton::clicked, this, [this] { editClicked(); });
    connectGuarded(m_grid, &QAbstractItemView::doubleClicked, this, [this] { editClicked(); });
    connectGuarded(m_help, &LinkLabel::clicked, this, [this] { lblHelpClick(); });
    connectGuarded(m_verseLink, &LinkLabel::clicked, this, [this] { lblBibleVerseLinkClick(); });
}

void ListWindow::FormCreate()
{
    IniForm(this, true);
    Load(true);
}

void ListWindow::FormClose()
{
    if (m_design.keepColumnWidths)
        SaveForm(this);
}

void ListWindow::done(int result)
{
    // Every way out (OK, Escape, the window frame) passes here; the widths are saved once.
    if (!m_closed) {
        m_closed = true;
        FormClose();
    }
    QDialog::done(result);
}

void ListWindow::lblHelpClick()
{
    if (!m_design.helpPath.isEmpty())
        Browse(helpUrl(m_design.helpPath));
}

void ListWindow::lblBibleVerseLinkClick()
{
    if (!m_design.verse.path.isEmpty())
        Browse(verseUrl(m_design.verse.path));
}

void ListWindow::loadList(const ListStatement& statement, bool OnCreateForm)
{
    Query* q = listQuery();
    int remembered = 0;
    if (!OnCreateForm && q->isOpen() && q->recordCount() > 0)
        remembered = q->asInteger(QStringLiteral("id"));
    q->setSql(statement.lines);
    for (const auto& [name, value] : statement.bindings)
        q->bind(name, value);
    q->open();
    if (OnCreateForm || !q->locate(QStringLiteral("id"), remembered))
        q->first();
    // A window without an empty label (the access list) keeps its grid in view.
    m_grid->setVisible(!m_empty || q->recordCount() > 0);
}

void ListWindow::reloadAndSelect(const QString& field, const QVariant& value)
{
    Load(false);
    listQuery()->locate(field, value);
}

bool ListWindow::hasSelectedRow(const QString& message) const
{
    if (listQuery()->isOpen() && listQuery()->recordCount() > 0)
        return true;
    Boodskap(message, false);
    return false;
}

void fitTextToLabel(QLabel* label)
{
    QFont font = label->font();
    const QRect room(QPoint(0, 0), label->size());
    auto fits = [&](const QFont& f) {
        const QRect needed = QFontMetrics(f).boundingRect(room, Qt::TextWordWrap, label->text());
        return needed.width() <= room.width() && needed.height() <= room.height();
    };
    // Point sizes step down by a half point; below 6 points the text stays as it is.
    qreal size = font.pointSizeF() > 0 ? font.pointSizeF() : 9;
    while (!fits(font) && size > 6) {
        size -= 0.5;
        font.setPointSizeF(size);
    }
    label->setFont(font);
}
