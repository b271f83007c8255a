#include "users/AccessLevels.h"

#include <QTest>

class TestAccessLevels : public QObject {
    Q_OBJECT
private slots:
    void levels_data()
    {
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("number"); // -1: not a level
        for (const char* t : {"no access", "No access", "NO ACCESS"})
            QTest::newRow(t) << QString(t) << 0;
        for (const char* t : {"view", "View", "VIEW"})
            QTest::newRow(t) << QString(t) << 1;
        QTest::newRow("cReAtE") << "cReAtE" << 2;
        QTest::newRow("Post") << "Post" << 3;
        for (const char* t : {"", "Viewer", " view", "noaccess", "edit"})
            QTest::newRow(qPrintable(QStringLiteral("bad: '%1'").arg(t))) << t << -1;
    }
    void levels()
    {
        QFETCH(QString, level);
        QFETCH(int, number);
        QCOMPARE(accessLevelNumber(level).value_or(-1), number);
    }
};

QTEST_GUILESS_MAIN(TestAccessLevels)
#include "tst_accesslevels.moc"
