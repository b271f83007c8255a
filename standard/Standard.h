#pragma once
// The shared helpers every window uses: messages, the clock, layout persistence,
// combo-box filling and links. Validation, dates, hashing and money have their own
// headers, included here so that one include gives the whole unit.
#include "standard/ComboItem.h"
#include "standard/Dates.h"
#include "standard/Hash.h"
#include "standard/Money.h"
#include "standard/Validation.h"

#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <type_traits>

class QComboBox;
class QMessageBox;
class QTableView;
class QWidget;
class QObject;
class Query;
class StringGrid;
class DataGrid;

// Messages ------------------------------------------------------------------------
bool Boodskap(const QString& BoodskapS, bool Vraag = false);
void SetBoodskapHandler(std::function<bool(const QString& text, bool vraag)> handler);
// A question answered Yes (true) or No; goes through the same handler as Boodskap.
bool askYesNo(const QString& question);
// Every message box of the program: plain, selectable text and room for its whole title.
void prepareMessageBox(QMessageBox& box);
int messageBoxMinimumWidth(const QString& title);

// Database errors no caller handles end up here: shown in the standard error box.
void ShowStandardError(const QString& text);
void SetStandardErrorHandler(std::function<void(const QString&)> handler);

// Runs an event handler; a database error it raises is shown and the action stops,
// while the program (and any open dialog) goes on.
void guarded(const std::function<void()>& handler);

// Connects a signal to a handler that runs guarded: the one way this program wires a
// click, a keystroke or a selection to what it does. A handler that takes the signal's
// arguments (a cell's column, row and text) is handed them.
template <class Sender, class Signal, class Handler>
void connectGuarded(Sender* sender, Signal signal, QObject* context, Handler handler)
{
    QObject::connect(sender, signal, context, [handler](const auto&... args) {
        guarded([&] {
            if constexpr (std::is_invocable_v<const Handler&, decltype(args)...>)
                handler(args...);
            else
                handler();
        });
    });
}

// Gives a control made in code the name the windows and their tests know it by.
template <class T>
T* named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

// Clock ---------------------------------------------------------------------------
QDate Today();
QDateTime Now();
void SetClockForTesting(const QDateTime& fixed);

// Form utilities and layout persistence --------------------------------------------
QString LocalDrive();
QString MainDir(bool MetSlash);
// A file shipped with the program (help pages, the spreadsheet template), by its path
// relative to the shipped files' folder: beside the executable in a build tree, or
// ../share/veldra-accounting from it when installed. When neither holds it, the path
// beside the executable, so that a message can name where it was looked for.
QString shippedFile(const QString& relative, const QString& programDir = MainDir(false));
QString layoutDir(); // folder of the layout files, ending with "/"
void IniForm(QWidget* form, bool Dialog);
void SaveForm(QWidget* form);
void LoadForm(QWidget* form);
void SaveDBG(QTableView* DBG);
void LoadDBG(QTableView* DBG);
void SaveSG(StringGrid* SG);
void LoadSG(StringGrid* SG);
void LoadFieldToCB(
    QComboBox* Combobox, Query& Table, const QString& IDField, const QString& TextField, bool AddAll);
// The same from items read by a store: the box keeps the id it had when still listed,
// and gets "All" (id 0) first when AddAll and there are several items.
void LoadItemsToCB(QComboBox* Combobox, const QList<ComboItem>& items, bool AddAll);
// Opens a page in the user's browser; when that fails, a message gives its address.
void Browse(const QString& URL);

// Keyboard order of a dialog: the tab chain in reading order (top to bottom, left to
// right, the OK button last), and the focus on the first input of that chain (not a
// button or a link); answers that input, or nullptr when the dialog has none.
void setTabOrderByPosition(QWidget* form);
QWidget* focusFirstInput(QWidget* form);

// A control's design-time tag (a dynamic property "tag", 0 unless set).
int Tag(const QObject* control);
void setTag(QObject* control, int tag);

// Id of a combo box's selected item; -1 when nothing is selected.
int selectedId(const QComboBox* box);
bool selectId(QComboBox* box, int id);

// Links: help pages of the product's site and pages of the verse site, by path.
QString helpUrl(const QString& path);
QString verseUrl(const QString& path);
