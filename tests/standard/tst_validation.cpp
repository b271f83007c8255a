#include "TestSupport.h"

#include "standard/LabeledEdit.h"
#include "standard/Standard.h"

#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QString kTenThousandDigits = QString(10000, QLatin1Char('7'));

// The lines of an edit-box message, as the user reads them.
QString lines(const QStringList& parts) { return parts.join(QLatin1Char('\r')); }

const QString kCompanyNameNotValid = QStringLiteral("The value you supplied for Company Name is not valid.");
QString atLeast(int n)
{
    return QStringLiteral(
        " -  The value must contain at least %1 characters and not any leading zeros or spaces.")
        .arg(n);
}
const QString kOnlyNumbers = QStringLiteral(" -  The value must contain only numbers.");
const QString kInvalidWords
    = QStringLiteral(" -  The value contains the following invalid words/characters: ");
const QString kEmailInvalid = QStringLiteral("Email address supplied invalid.");

// A dialog with one box outside any tabs and one on the second page of a tab control,
// shown and active so that focus can be checked.
class BoxWindow : public QWidget {
public:
    BoxWindow()
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(10, 30, 10, 10);
        layout->setSpacing(24);
        plain = new LabeledEdit(QStringLiteral("Company Name"), this);
        layout->addWidget(plain);
        pages = new QTabWidget(this);
        first = new QWidget;
        second = new QWidget;
        other = new LabeledEdit(QStringLiteral("Other"), first);
        other->place(10, 30, 150);
        // First in the tab order of its sheet, so a sheet switch alone does not focus `paged`.
        auto* ahead = new LabeledEdit(QStringLiteral("Ahead"), second);
        ahead->place(10, 30, 70);
        paged = new LabeledEdit(QStringLiteral("Company Name"), second);
        paged->place(90, 30, 140);
        pages->addTab(first, QStringLiteral("First"));
        pages->addTab(second, QStringLiteral("Second"));
        pages->setMinimumHeight(90);
        layout->addWidget(pages);
        resize(260, 200);
        show();
        activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(this));
        other->setFocus();
    }
    LabeledEdit* plain;
    LabeledEdit* other;
    LabeledEdit* paged;
    QTabWidget* pages;
    QWidget* first;
    QWidget* second;
};

}

class TestValidation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void cleanup() { QLocale::setDefault(QLocale::c()); }

    void toetsTextForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("onlyNumbers");
        QTest::addColumn<bool>("invalids");
        QTest::addColumn<bool>("deadSpace");
        QTest::addColumn<bool>("expected");
        QTest::newRow("two characters, length 3") << "ab" << 3 << false << false << false << false;
        QTest::newRow("three characters, length 3") << "abc" << 3 << false << false << false << true;
        QTest::newRow("two emoji are two characters")
            << QString::fromUcs4(U"\U0001F600\U0001F600") << 3 << false << false << false << false;
        QTest::newRow("short fails whatever else") << "12" << 3 << true << true << true << false;
        QTest::newRow("letter among digits") << "12a4" << 0 << true << false << false << false;
        QTest::newRow("digits with leading zero") << "0123" << 0 << true << false << false << true;
        QTest::newRow("leading zero, dead space") << "0123" << 0 << true << false << true << false;
        QTest::newRow("zero inside, dead space") << "1023" << 0 << true << false << true << true;
        QTest::newRow("space between words") << "two words" << 0 << false << false << true << false;
        QTest::newRow("space not tested") << "two words" << 0 << false << false << false << true;
        QTest::newRow("empty, length 0, every test") << "" << 0 << true << true << true << true;
        QTest::newRow("empty, length 1") << "" << 1 << false << false << false << false;
        QTest::newRow("angle bracket") << "a<b" << 0 << false << true << false << false;
        QTest::newRow("invalid word in capitals") << "Please CLEAR" << 0 << false << true << false << false;
        QTest::newRow("invalids not tested") << "a<b" << 0 << false << false << false << true;
        QTest::newRow("negative length") << "" << -5 << false << false << false << true;
        QTest::newRow("length beyond any text")
            << "abc" << std::numeric_limits<int>::max() << false << false << false << false;
        // Bad input that must never pass the digit test.
        QTest::newRow("lone sign") << "-" << 0 << true << false << false << false;
        QTest::newRow("negative number") << "-12" << 0 << true << false << false << false;
        QTest::newRow("exponent") << "1e5" << 0 << true << false << false << false;
        QTest::newRow("hexadecimal") << "0x10" << 0 << true << false << false << false;
        QTest::newRow("leading blank") << " 12" << 0 << true << false << false << false;
        QTest::newRow("trailing blank") << "12 " << 0 << true << false << false << false;
        QTest::newRow("trailing blank, dead space") << "12 " << 0 << false << false << true << false;
        QTest::newRow("Arabic-Indic digits")
            << QStringLiteral("\u0661\u0662") << 0 << true << false << false << false;
        QTest::newRow("10 000 digits") << kTenThousandDigits << 3 << true << true << true << true;
        QTest::newRow("10 000 digits and a bracket")
            << kTenThousandDigits + "<" << 3 << false << true << false << false;
        // One-line boxes: a name with a pasted line break looks like the name without it.
        QTest::newRow("trailing line feed") << "Acme\n" << 3 << false << false << false << false;
        QTest::newRow("carriage return") << "Ac\rme" << 3 << false << false << false << false;
        QTest::newRow("tab") << "Ac\tme" << 3 << false << false << false << false;
        QTest::newRow("NUL") << QString("Acme") + QChar(0) << 3 << false << false << false << false;
        QTest::newRow("line separator")
            << QStringLiteral("Ac\u2028me") << 3 << false << false << false << false;
        QTest::newRow("accented letters pass")
            << QStringLiteral("Caf\u00e9 \u00c5ngstr\u00f6m") << 3 << false << false << false << true;
    }
    void toetsTextForm()
    {
        QFETCH(QString, text);
        QFETCH(int, length);
        QFETCH(bool, onlyNumbers);
        QFETCH(bool, invalids);
        QFETCH(bool, deadSpace);
        QFETCH(bool, expected);
        MessageLog log;
        QCOMPARE(ToetsText(text, length, onlyNumbers, invalids, deadSpace), expected);
        QVERIFY(log.messages.isEmpty());
    }

    void invalidWords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("nothing") << "Acme Trading (Pty) Ltd"
                                 << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("both brackets") << "a<b>c"
                                       << "<, >";
        QTest::newRow("brackets in reverse") << "x>y<z"
                                             << "<, >";
        QTest::newRow("table order and case") << "CLEAR|"
                                              << "|, clear";
        QTest::newRow("found once") << "clear Clear CLEAR"
                                    << "clear";
        QTest::newRow("phrase in mixed case") << "No Name Specified"
                                              << "no name specified";
        QTest::newRow("every entry") << "no name specified clear > < NewFault ListNames |"
                                     << "|, listnames, newfault, <, >, clear, no name specified";
        QTest::newRow("inside a word") << "unclearly"
                                       << "clear";
    }
    void invalidWords()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(InvalidWords(text), expected);
        QCOMPARE(invalids.size(), 7);
    }

    void toetsGetalText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allowNul");
        QTest::addColumn<bool>("allowNegative");
        QTest::addColumn<bool>("expected");
        QTest::newRow("whole number") << "12" << false << false << true;
        QTest::newRow("leading zeros") << "007" << false << false << true;
        QTest::newRow("plus sign") << "+7" << false << false << true;
        QTest::newRow("zero refused") << "0" << false << true << false;
        QTest::newRow("zero allowed") << "0" << true << false << true;
        QTest::newRow("minus zero is zero") << "-0" << false << true << false;
        QTest::newRow("negative refused") << "-5" << true << false << false;
        QTest::newRow("negative allowed") << "-5" << false << true << true;
        QTest::newRow("largest") << "2147483647" << false << false << true;
        QTest::newRow("largest, many leading zeros") << "0000000000002147483647" << false << false << true;
        QTest::newRow("one past the largest") << "2147483648" << true << true << false;
        QTest::newRow("smallest") << "-2147483648" << false << true << true;
        QTest::newRow("one below the smallest") << "-2147483649" << true << true << false;
        QTest::newRow("64-bit size") << "9223372036854775807" << true << true << false;
        QTest::newRow("past 64 bits") << "99999999999999999999" << true << true << false;
        QTest::newRow("10 000 digits") << kTenThousandDigits << true << true << false;
        QTest::newRow("empty") << "" << true << true << false;
        QTest::newRow("decimal point") << "1.5" << true << true << false;
        QTest::newRow("whole with point") << "1.0" << true << true << false;
        QTest::newRow("letters") << "abc" << true << true << false;
        QTest::newRow("lone minus") << "-" << true << true << false;
        QTest::newRow("lone plus") << "+" << true << true << false;
        QTest::newRow("two signs") << "--5" << true << true << false;
        QTest::newRow("exponent") << "1e5" << true << true << false;
        QTest::newRow("hexadecimal") << "0x10" << true << true << false;
        QTest::newRow("Pascal hexadecimal") << "$10" << true << true << false;
        QTest::newRow("leading blank") << " 12" << true << true << false;
        QTest::newRow("trailing blank") << "12 " << true << true << false;
        QTest::newRow("thousands separator") << "1,000" << true << true << false;
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0661\u0662") << true << true << false;
        QTest::newRow("full-width digits") << QStringLiteral("\uFF11\uFF12") << true << true << false;
    }
    void toetsGetalText()
    {
        QFETCH(QString, text);
        QFETCH(bool, allowNul);
        QFETCH(bool, allowNegative);
        QFETCH(bool, expected);
        MessageLog log;
        QCOMPARE(ToetsGetal(text, allowNul, allowNegative), expected);
        QVERIFY(log.messages.isEmpty());
    }

    void toetsGeld_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("allowNul");
        QTest::addColumn<bool>("allowNegative");
        QTest::addColumn<QString>("expected");
        // Most rows use the journal lines' arguments: no zero, negatives, at most 900 000 000.
        auto row = [](const char* name, const char* locale, const QString& text, const char* expected,
                       bool allowNul = false, bool allowNegative = true) {
            QTest::newRow(name) << locale << text << allowNul << allowNegative << QString::fromUtf8(expected);
        };
        row("empty, zero allowed", "en_US", "", "0", true);
        row("empty, zero refused", "en_US", "", "");
        row("zero refused", "en_US", "0", "");
        row("zero allowed", "en_US", "0.00", "0", true);
        row("minus zero allowed", "en_US", "-0", "0", true);
        row("trailing zero dropped", "en_US", "12.50", "12.5");
        row("whole amount", "en_US", "7.00", "7");
        row("negative stays", "en_US", "-3", "-3");
        row("a tenth", "en_US", "0.10", "0.1");
        row("two decimals", "en_US", "1234567.89", "1234567.89");
        row("third decimal", "en_US", "12.345", "");
        row("fourth decimal", "en_US", "0.0001", "");
        row("zeros in third and fourth", "en_US", "12.3400", "12.34");
        row("five decimals", "en_US", "1.00000", "");
        row("minus the maximum", "en_US", "-900000000", "-900000000");
        row("the maximum", "en_US", "900000000", "900000000");
        row("a cent over the maximum", "en_US", "900000000.01", "");
        row("a cent under minus the maximum", "en_US", "-900000000.01", "");
        row("negative refused", "en_US", "-5", "", false, false);
        row("no integer digit", "en_US", ".5", "0.5");
        row("plus sign", "en_US", "+5", "5");
        row("comma in a point locale", "en_US", "12,5", "");
        row("thousands separator", "en_US", "1,000.00", "");
        row("two points", "en_US", "1.2.3", "");
        row("lone point", "en_US", ".", "");
        row("lone minus", "en_US", "-", "");
        row("lone plus", "en_US", "+", "");
        row("exponent", "en_US", "1e5", "");
        row("hexadecimal", "en_US", "0x10", "");
        row("leading blank", "en_US", " 12", "");
        row("trailing blank", "en_US", "12 ", "");
        row("Arabic-Indic digits", "en_US", QStringLiteral("\u0661\u0662"), "");
        row("past 32 bits", "en_US", "99999999999", "");
        row("past 128 bits", "en_US", "999999999999999999999999999999999999999999", "");
        row("10 000 digits", "en_US", kTenThousandDigits, "");
        row("comma locale", "de_DE", "12,50", "12,5");
        row("comma locale, a tenth", "de_DE", "0,10", "0,1");
        row("comma locale, negative", "de_DE", "-900000000", "-900000000");
        row("comma locale, third decimal", "de_DE", "1,005", "");
        row("point in a comma locale", "de_DE", "12.5", "");
        row("comma locale, empty", "de_DE", "", "0", true);
    }
    void toetsGeld()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, allowNul);
        QFETCH(bool, allowNegative);
        QFETCH(QString, expected);
        QLocale::setDefault(QLocale(locale));
        MessageLog log;
        QCOMPARE(ToetsGeld(text, allowNul, allowNegative, Money::fromInt(900000000)), expected);
        QVERIFY(log.messages.isEmpty());
    }

    // The extremes of Max answer, never throw.
    void toetsGeldMaxExtremes()
    {
        const Money lowest = Money::fromUnits(std::numeric_limits<__int128>::min());
        const Money highest = Money::fromUnits(std::numeric_limits<__int128>::max());
        QCOMPARE(ToetsGeld("5", false, true, lowest), QString());
        QCOMPARE(ToetsGeld("5", false, true, Money::fromInt(-10)), QString());
        QCOMPARE(ToetsGeld("-17014118346046923173168730371588.41", false, true, highest),
            QStringLiteral("-17014118346046923173168730371588.41"));
    }

    // The edit-box forms: the message, the tab sheet and the focus, in a real window.
    void editBoxForms_data()
    {
        QTest::addColumn<QString>("check");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("onSheet");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<QString>("message");
        // Tab index when the message shows: -1 when there is none.
        QTest::addColumn<int>("tabAtMessage");

        QTest::newRow("length only, two lines")
            << "text 3"
            << "ab" << false << false << lines({kCompanyNameNotValid, atLeast(3)}) << 0;
        QTest::newRow("length only, on a sheet")
            << "text 3"
            << "ab" << true << false << lines({kCompanyNameNotValid, atLeast(3)}) << 1;
        QTest::newRow("passes, nothing shown") << "text 3"
                                               << "abc" << true << true << "" << -1;
        QTest::newRow("every test fails")
            << "text all"
            << "0<a b" << true << false
            << lines({kCompanyNameNotValid, atLeast(3), kOnlyNumbers, kInvalidWords + "<"}) << 1;
        QTest::newRow("invalid words in table order")
            << "text all"
            << "x>y<z|" << false << false
            << lines({kCompanyNameNotValid, atLeast(3), kOnlyNumbers, kInvalidWords + "|, <, >"}) << 0;
        QTest::newRow("only the length fails with every test")
            << "text all"
            << "12" << false << false << lines({kCompanyNameNotValid, atLeast(3), kOnlyNumbers}) << 0;
        QTest::newRow("bracket not listed when invalids untested")
            << "text digits"
            << "1<" << false << false << lines({kCompanyNameNotValid, atLeast(0), kOnlyNumbers}) << 0;
        QTest::newRow("line break pasted into one line")
            << "text 3"
            << "Acme\nTrading" << false << false
            << lines({kCompanyNameNotValid, atLeast(3),
                   " -  The value may not contain line breaks, tabs or other control characters."})
            << 0;
        QTest::newRow("number, one line") << "number"
                                          << "1.5" << true << false << kCompanyNameNotValid << 1;
        QTest::newRow("number, 64-bit") << "number"
                                        << "4294967296" << false << false << kCompanyNameNotValid << 0;
        QTest::newRow("number passes") << "number"
                                       << "42" << true << true << "" << -1;
        // The e-mail check shows its message before it switches the sheet.
        QTest::newRow("e-mail refused") << "email"
                                        << "john@localhost" << true << false << kEmailInvalid << 0;
        QTest::newRow("e-mail, text check first")
            << "email"
            << "a @" << false << false << lines({kCompanyNameNotValid, atLeast(5)}) << 0;
        QTest::newRow("e-mail accepted") << "email"
                                         << "John@Example.com" << true << true << "" << -1;
    }
    void editBoxForms()
    {
        QFETCH(QString, check);
        QFETCH(QString, text);
        QFETCH(bool, onSheet);
        QFETCH(bool, expected);
        QFETCH(QString, message);
        QFETCH(int, tabAtMessage);

        BoxWindow w;
        LabeledEdit* box = onSheet ? w.paged : w.plain;
        QTabWidget* page = onSheet ? w.pages : nullptr;
        QWidget* sheet = onSheet ? w.second : nullptr;
        box->setText(text);
        QCOMPARE(QApplication::focusWidget(), w.other);

        MessageLog log;
        int tabWhenShown = -1;
        log.onMessage = [&](const QString&) { tabWhenShown = w.pages->currentIndex(); };
        bool result = false;
        if (check == "text 3")
            result = ToetsText(box, 3, false, false, false, page, sheet);
        else if (check == "text all")
            result = ToetsText(box, 3, true, true, true, page, sheet);
        else if (check == "text digits")
            result = ToetsText(box, 0, true, false, false, page, sheet);
        else if (check == "number")
            result = ToetsGetal(box, false, false, page, sheet);
        else
            result = ToetsEmail(box, 5, false, true, true, page, sheet);

        QCOMPARE(result, expected);
        QCOMPARE(box->text(), text);
        if (expected) {
            QVERIFY(log.messages.isEmpty());
            QCOMPARE(w.pages->currentIndex(), 0);
            QCOMPARE(QApplication::focusWidget(), w.other);
            return;
        }
        QCOMPARE(log.messages, QStringList{message});
        QCOMPARE(tabWhenShown, tabAtMessage);
        QCOMPARE(w.pages->currentIndex(), onSheet ? 1 : 0);
        QCOMPARE(QApplication::focusWidget(), box);
    }

    // Only the pattern decides here: no text tests are asked for.
    void toetsEmail_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("capitals, two dots in the domain") << "JOHN.SMITH@MAIL.EXAMPLE.CO" << true;
        QTest::newRow("every allowed sign") << "a.b_c%d+e-f@x-y.z.museum" << true;
        QTest::newRow("domain without a dot") << "john@localhost" << false;
        QTest::newRow("one letter after the last dot") << "john@example.c" << false;
        QTest::newRow("seven letters after the last dot") << "john@example.abcdefg" << false;
        QTest::newRow("digit in the last part") << "john@example.c0m" << false;
        QTest::newRow("space before the @") << "john @example.com" << false;
        QTest::newRow("nothing before the @") << "@example.com" << false;
        QTest::newRow("two @") << "a@@example.com" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("second line after an address") << "a@example.com\nBcc: x@y.com" << false;
        QTest::newRow("address on a second line") << "hello\na@example.com" << false;
        QTest::newRow("trailing line break") << "a@example.com\n" << false;
        QTest::newRow("Kelvin sign for K") << QStringLiteral("\u212A@example.com") << false;
        QTest::newRow("long s for S") << QStringLiteral("john@example.\u017Fe") << false;
        QTest::newRow("accented letter") << QStringLiteral("jos\u00E9@example.com") << false;
    }
    void toetsEmail()
    {
        QFETCH(QString, address);
        QFETCH(bool, accepted);
        LabeledEdit box(QStringLiteral("Email"));
        box.setText(address);
        MessageLog log;
        QCOMPARE(ToetsEmail(&box, 0, false, false, false), accepted);
        // A line break is refused before the pattern is asked, as in every one-line box.
        const QString refusal = address.contains('\n')
            ? lines({"The value you supplied for Email is not valid.", atLeast(0),
                " -  The value may not contain line breaks, tabs or other control characters."})
            : kEmailInvalid;
        QCOMPARE(log.messages, accepted ? QStringList() : QStringList{refusal});
    }

    // The real message box: caption, no icon, buttons, and what each way of closing returns.
    void boodskapBox_data()
    {
        QTest::addColumn<bool>("vraag");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("expected");
        QTest::newRow("message, Enter") << false << "enter" << true;
        QTest::newRow("message, Escape") << false << "escape" << true;
        QTest::newRow("message, closed") << false << "close" << true;
        QTest::newRow("question, Enter") << true << "enter" << true;
        QTest::newRow("question, OK clicked") << true << "ok" << true;
        QTest::newRow("question, Cancel clicked") << true << "cancel" << false;
        QTest::newRow("question, Escape") << true << "escape" << false;
        QTest::newRow("question, closed") << true << "close" << false;
    }
    void boodskapBox()
    {
        QFETCH(bool, vraag);
        QFETCH(QString, action);
        QFETCH(bool, expected);
        // Markup characters and carriage returns, as the validation messages carry them.
        const QString text = lines({"The value you supplied for <b>Name</b> is not valid.", kOnlyNumbers});

        QString title, shownText;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QMessageBox::StandardButtons buttons;
        Qt::TextFormat format = Qt::RichText;
        bool found = false;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            QMessageBox* box = shownMessageBox();
            if (!box)
                return;
            poll.stop();
            found = true;
            title = box->windowTitle();
            shownText = box->text();
            icon = box->icon();
            buttons = box->standardButtons();
            format = box->textFormat();
            if (action == "enter")
                QTest::keyClick(box, Qt::Key_Return);
            else if (action == "escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (action == "close")
                box->close();
            else
                box->button(action == "ok" ? QMessageBox::Ok : QMessageBox::Cancel)->click();
        });
        poll.start(10);
        // Should the box not close, this ends the test instead of hanging it.
        QTimer::singleShot(5000, this, [] {
            if (QMessageBox* box = shownMessageBox())
                box->done(QMessageBox::Ok);
        });

        const bool result = Boodskap(text, vraag);
        QVERIFY(found);
        QCOMPARE(result, expected);
        QCOMPARE(title, QStringLiteral("Veldra Accounting"));
        QCOMPARE(shownText, text);
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(buttons,
            vraag ? (QMessageBox::Ok | QMessageBox::Cancel) : QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    // A server's error text can quote what a user typed: the standard error box shows it
    // as plain text, never as markup.
    void standardErrorBoxShowsPlainText()
    {
        const QString text = "Duplicate entry '<b>Acme</b><img src=x>' for key 'company name'";
        Qt::TextFormat format = Qt::RichText;
        QString shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            if (QMessageBox* box = shownMessageBox()) {
                format = box->textFormat();
                shown = box->text();
                icon = box->icon();
                box->done(QMessageBox::Ok);
            }
        });
        poll.start(10);
        ShowStandardError(text);
        QCOMPARE(shown, text);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(icon, QMessageBox::Critical);
    }

    void boodskapSeamAnswers()
    {
        QStringList seen;
        bool asked = false;
        SetBoodskapHandler([&](const QString& text, bool vraag) {
            seen << text;
            asked = vraag;
            return false;
        });
        QCOMPARE(Boodskap(QStringLiteral("Delete the year?"), true), false);
        SetBoodskapHandler({});
        QCOMPARE(seen, QStringList{QStringLiteral("Delete the year?")});
        QVERIFY(asked);
    }
};

QTEST_MAIN(TestValidation)
#include "tst_validation.moc"
