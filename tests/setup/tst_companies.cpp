#include "SetupTestHelpers.h"
#include "TestSupport.h"

#include "app/Main.h"
#include "db/Query.h"
#include "setup/Companies.h"
#include "setup/Company.h"
#include "standard/LabeledEdit.h"
#include "standard/LinkLabel.h"
#include "standard/Standard.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
int selectedId(const World& x) { return x.w.qrCompanies->asInteger("id"); }
}

class TestCompanies : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void listHoldsTheUsersCompaniesInIdOrder()
    {
        World x;
        const int a = x.company("Zulu Traders");
        x.company("Hidden Ltd", "No");
        x.db.addCompany("Nobody's Company");
        const int b = x.company("Alpha Farms");
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        QCOMPARE(list.windowTitle(), QStringLiteral("Setup -> Companies"));
        QVERIFY(list.dbgCompanies->isVisibleTo(&list));
        QCOMPARE(shownTitles(list.dbgCompanies), QStringList{"Company Name"});
        QCOMPARE(shownRows(list.dbgCompanies), (QList<QStringList>{{"Zulu Traders"}, {"Alpha Farms"}}));
        QCOMPARE(list.dbgCompanies->gridColumnWidth(0), 381);
        QCOMPARE(selectedId(x), a);
        QCOMPARE(list.dbgCompanies->currentIndex().row(), 0);
        list.dbgCompanies->setCurrentIndex(x.w.qrCompanies->index(1, 1));
        QCOMPARE(selectedId(x), b);
    }

    void newCompanyMakesItsCreatorAdministrator()
    {
        World x;
        x.company("Alpha Farms");
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        TfrmCompany dialog(&list);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("New Company"));
        QVERIFY(dialog.edtCompanyName->text().isEmpty());
        dialog.edtCompanyName->setText("Beta Trading");
        dialog.btnOkClick();

        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const int id = x.db.scalar("SELECT id FROM companies WHERE `company name` = 'Beta Trading'").toInt();
        QVERIFY(id > 0);
        const auto access = x.db.rows(QStringLiteral("SELECT `wp_user id`, `access company`, administrator, "
                                                     "`trial balance`, `journal entries` FROM access "
                                                     "WHERE `company id` = %1")
                                          .arg(id));
        QCOMPARE(access.size(), 1);
        QCOMPARE(access[0][0].toInt(), x.user);
        QCOMPARE(access[0][1].toString(), QStringLiteral("Yes"));
        QCOMPARE(access[0][2].toString(), QStringLiteral("Yes"));
        // The two levels are whatever the table gives a new row.
        for (int c : {3, 4}) {
            const QString column = c == 3 ? "trial balance" : "journal entries";
            QString fallback
                = x.db.scalar(QStringLiteral("SELECT COLUMN_DEFAULT FROM information_schema.COLUMNS "
                                             "WHERE TABLE_SCHEMA = '%1' AND TABLE_NAME = 'access' "
                                             "AND COLUMN_NAME = '%2'")
                                  .arg(x.db.name(), column))
                      .toString();
            fallback.remove('\'');
            QCOMPARE(access[0][c].toString(), fallback);
        }
        // The new company is the list's selected row.
        QCOMPARE(shownRows(list.dbgCompanies), (QList<QStringList>{{"Alpha Farms"}, {"Beta Trading"}}));
        QCOMPARE(selectedId(x), id);
        QCOMPARE(list.dbgCompanies->currentIndex().row(), 1);
    }

    void editRenamesTheSelectedCompany()
    {
        World x;
        x.company("Alpha Farms");
        const int b = x.company("Beta Trading");
        x.company("Gamma Mining");
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        list.dbgCompanies->setCurrentIndex(x.w.qrCompanies->index(1, 1));

        // Saved unchanged: its own name is no collision.
        auto unchanged = onNextModal([](QDialog* d) {
            auto* dialog = qobject_cast<TfrmCompany*>(d);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Edit Company"));
            QCOMPARE(dialog->edtCompanyName->text(), QStringLiteral("Beta Trading"));
            dialog->btnOk->click();
            QVERIFY(!dialog->isVisible());
        });
        const QRect cell = list.dbgCompanies->visualRect(list.dbgCompanies->currentIndex());
        // A double click is a click and then a second press.
        QTest::mouseClick(list.dbgCompanies->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list.dbgCompanies->viewport(), Qt::LeftButton, {}, cell.center());
        QVERIFY(unchanged->ran);
        QVERIFY(x.log.messages.isEmpty());

        auto renamed = onNextModal([](QDialog* d) {
            auto* dialog = qobject_cast<TfrmCompany*>(d);
            dialog->edtCompanyName->setText("Beta Holdings");
            dialog->btnOk->click();
        });
        list.btnEditCompany->click();
        QVERIFY(renamed->ran);
        QVERIFY(x.log.messages.isEmpty());
        QCOMPARE(x.db.scalar(QStringLiteral("SELECT `company name` FROM companies WHERE id = %1").arg(b))
                     .toString(),
            QStringLiteral("Beta Holdings"));
        QCOMPARE(x.count("companies"), 3);
        QCOMPARE(x.count("access"), 3);
        QCOMPARE(selectedId(x), b);
        QCOMPARE(shownRows(list.dbgCompanies)[1], QStringList{"Beta Holdings"});
    }

    void refusals_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString inUse = "Company name already in use.";
        QTest::newRow("two characters")
            << "New Company"
            << "AB"
            << "The value you supplied for Company Name is not valid.\r -  The value "
               "must contain at least 3 characters and not any leading zeros or spaces.";
        QTest::newRow("a listed company's name") << "New Company"
                                                 << "Alpha Farms" << inUse;
        QTest::newRow("differs in case only") << "New Company"
                                              << "ALPHA FARMS" << inUse;
        QTest::newRow("a company the user cannot see") << "New Company"
                                                       << "Secret Ltd" << inUse;
        QTest::newRow("rename to another's name") << "Edit Company"
                                                  << "Secret Ltd" << inUse;
    }

    void refusals()
    {
        QFETCH(QString, caption);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        World x;
        x.company("Alpha Farms");
        const int b = x.company("Beta Trading");
        x.db.addCompany("Secret Ltd");
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        list.dbgCompanies->setCurrentIndex(x.w.qrCompanies->index(1, 1));
        TfrmCompany dialog(&list);
        dialog.setWindowTitle(caption);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.btnOk->setFocus();
        dialog.edtCompanyName->setText(typed);
        dialog.btnOk->click();

        QCOMPARE(x.log.messages, QStringList{message});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.edtCompanyName->text(), typed);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.edtCompanyName));
        QCOMPARE(x.count("companies"), 3);
        QCOMPARE(x.count("access"), 2);
        QCOMPARE(x.db.scalar(QStringLiteral("SELECT `company name` FROM companies WHERE id = %1").arg(b))
                     .toString(),
            QStringLiteral("Beta Trading"));
        dialog.close();
    }

    // Another workstation saves the same name between the check and the save: the unique
    // key refuses ours, and the user is told as by the check itself, the dialog open.
    void nameSavedMeanwhileByAnotherUserIsRefusedByTheDatabase_data()
    {
        QTest::addColumn<bool>("edit");
        QTest::newRow("new company") << false;
        QTest::newRow("renamed company") << true;
    }
    void nameSavedMeanwhileByAnotherUserIsRefusedByTheDatabase()
    {
        QFETCH(bool, edit);
        World x;
        const int a = x.company("Alpha Farms");
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        TfrmCompany dialog(&list);
        if (edit)
            dialog.setWindowTitle(TfrmCompany::EditCaption);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.edtCompanyName->setText("Beta Trading");
        QVERIFY(dialog.checkInput());
        const int theirs = x.db.addCompany("Beta Trading");
        dialog.Save();

        QCOMPARE(x.log.messages, QStringList{"Company name already in use."});
        QVERIFY(x.log.errors.isEmpty());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(dialog.edtCompanyName));
        QCOMPARE(x.db.rows("SELECT id FROM companies WHERE `company name` = 'Beta Trading'"),
            (QList<QVariantList>{{theirs}}));
        QCOMPARE(x.db.scalar(QStringLiteral("SELECT `company name` FROM companies WHERE id = %1").arg(a))
                     .toString(),
            QStringLiteral("Alpha Farms"));
        QCOMPARE(x.count("access"), 1);
        QVERIFY(!x.w.fdcMain->inTransaction());
        QCOMPARE(selectedId(x), a);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.edtCompanyName->text(), QStringLiteral("Beta Trading"));
        dialog.close();
    }

    void failureAfterTheCompanyRowRollsItBack()
    {
        World x;
        x.company("Alpha Farms");
        const int b = x.company("Beta Trading");
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        list.dbgCompanies->setCurrentIndex(x.w.qrCompanies->index(1, 1));
        // The access row fails after the company row has been written.
        x.db.exec("CREATE TRIGGER refuse_access BEFORE INSERT ON access FOR EACH ROW "
                  "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'refused for the test'");
        TfrmCompany dialog(&list);
        dialog.edtCompanyName->setText("Gamma Mining");
        dialog.btnOk->click();

        QCOMPARE(x.log.messages, QStringList{"Company could not be saved.  Please try again."});
        QCOMPARE(x.count("companies"), 2);
        QCOMPARE(x.count("access"), 2);
        QCOMPARE(selectedId(x), b);
        QCOMPARE(list.dbgCompanies->currentIndex().row(), 1);
        // The connection is usable again: the next save goes through.
        x.db.exec("DROP TRIGGER refuse_access");
        TfrmCompany again(&list);
        again.edtCompanyName->setText("Gamma Mining");
        again.btnOkClick();
        QCOMPARE(x.count("companies"), 3);
    }

    void namesAreStoredAndShownExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("quotes") << QStringLiteral("O'Brien \"Quality\" Farms");
        QTest::newRow("backslashes") << QStringLiteral("C:\\Books\\2024 \\n Ltd");
        QTest::newRow("percent and underscore") << QStringLiteral("100% Pure_Co");
        QTest::newRow("emoji") << QStringLiteral("Caf\u00e9 \u2615 \U0001F680 Rockets");
        QTest::newRow("50 Cyrillic characters") << QString(50, QChar(0x0416));
        QTest::newRow("SQL text") << QStringLiteral("x'); DROP TABLE companies; --");
    }

    void namesAreStoredAndShownExactly()
    {
        QFETCH(QString, name);
        World x;
        // A name that only a pattern match would confuse with the new one.
        x.company("100X PureXCo");
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        TfrmCompany dialog(&list);
        dialog.edtCompanyName->setText(name);
        QCOMPARE(dialog.edtCompanyName->text(), name);
        dialog.btnOkClick();
        QVERIFY2(x.log.messages.isEmpty(), qPrintable(x.log.messages.join("|")));
        QCOMPARE(x.db.scalar("SELECT `company name` FROM companies WHERE `company name` = " + sqlText(name))
                     .toString(),
            name);
        QCOMPARE(shownRows(list.dbgCompanies).last(), QStringList{name});

        // Saved again unchanged, it finds itself and nothing else.
        TfrmCompany edit(&list);
        edit.setWindowTitle("Edit Company");
        edit.edtCompanyName->setText(name);
        QVERIFY(edit.checkInput());
        QCOMPARE(x.count("companies"), 2);
    }

    void nameBoxTakesAtMost50Characters()
    {
        World x;
        TfrmCompanies list(x.w.books(), x.w.qrCompanies, &x.w);
        TfrmCompany dialog(&list);
        QTest::keyClicks(dialog.edtCompanyName, QString(60, 'n'));
        QCOMPARE(dialog.edtCompanyName->text(), QString(50, 'n'));
    }

    void companyLinkOpensTheWindowAndTheFilterBarFollows()
    {
        World x;
        x.company("Alpha Farms");
        x.w.Login(x.user);
        QCOMPARE(x.w.cbCompany->count(), 1);
        LinkCatcher urls;
        QStringList seen;
        auto window = onNextModal([&](QDialog* d) {
            auto* list = qobject_cast<TfrmCompanies*>(d);
            QVERIFY(list);
            seen << list->windowTitle();
            QTest::mouseClick(list->lblHelp, Qt::LeftButton);
            QTest::mouseClick(list->lblBibleVerseLink, Qt::LeftButton);
            QCOMPARE(list->lblBibleVerseLink->text(), QStringLiteral("1 Chronicles 4:10"));
            QVERIFY(list->lblVerse->text().contains("Jabez called on the God of Israel"));
            QVERIFY(textFits(list->lblVerse));
            auto dialog = onNextModal([](QDialog* dd) {
                auto* company = qobject_cast<TfrmCompany*>(dd);
                QTest::keyClicks(company->edtCompanyName, "Beta Trading");
                QTest::keyClick(company->edtCompanyName, Qt::Key_Return);
            });
            list->btnNewCompany->click();
            QVERIFY(dialog->ran);
            seen << shownRows(list->dbgCompanies).last();
            list->close();
        });
        QTest::mouseClick(x.w.lblCompany, Qt::LeftButton);
        QVERIFY(window->ran);
        QCOMPARE(seen, (QStringList{"Setup -> Companies", "Beta Trading"}));
        QCOMPARE(urls.urls.size(), 2);
        QVERIFY(urls.urls[0].toString().endsWith("/help/blog/companies.html"));
        QCOMPARE(urls.urls[1].toString(), verseUrl("/1_chronicles/4-10.htm"));
        QCOMPARE(x.count("companies"), 2);
        // The filter bar lists the new company, and its creator may set it up.
        QCOMPARE(x.w.cbCompany->count(), 3);
        QVERIFY(selectId(x.w.cbCompany, x.db.scalar("SELECT MAX(id) FROM companies").toInt()));
        QCOMPARE(x.w.cbCompany->currentText(), QStringLiteral("Beta Trading"));
        QVERIFY(x.w.TestSetupAccess());

        // The menu opens the same window.
        auto again = onNextModal();
        x.w.acCompanies->trigger();
        QVERIFY(again->ran);
        QCOMPARE(again->title, QStringLiteral("Setup -> Companies"));
    }
};

QTEST_MAIN(TestCompanies)
#include "tst_companies.moc"
