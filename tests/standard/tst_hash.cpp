#include "standard/Hash.h"

#include <QRegularExpression>
#include <QTest>

// The known answers below were computed apart from the program, with md5sum:
//
//   printf '%s' 'message digest' | md5sum
//
//   wp() { h=$(printf '%s' "Lobo3189@@$1@@Lobo3189" | md5sum | cut -d' ' -f1)
//          h=$(printf '%s' "$h@@Rona velmar447@@" | md5sum | cut -d' ' -f1)
//          for i in 1 2 3 4; do h=$(printf '%s' "$h" | md5sum | cut -d' ' -f1); done
//          echo "$h"; }
//   wp demo        # 2733817121b7af47dc72539f18c409d5
//
// A character outside ASCII hashes as "?", so its row is computed with "?" in its place.
namespace {
bool isLowerHex32(const QString& h)
{
    static const QRegularExpression pattern(QStringLiteral("^[0-9a-f]{32}$"));
    return pattern.match(h).hasMatch();
}
}

class TestHash : public QObject {
    Q_OBJECT
private slots:
    void md5_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // RFC 1321's test suite.
        QTest::newRow("empty") << ""
                               << "d41d8cd98f00b204e9800998ecf8427e";
        QTest::newRow("a") << "a"
                           << "0cc175b9c0f1b6a831c399e269772661";
        QTest::newRow("abc") << "abc"
                             << "900150983cd24fb0d6963f7d28e17f72";
        QTest::newRow("message digest") << "message digest"
                                        << "f96b697d7cb7938d525a2f31aaf161d0";
        QTest::newRow("alphabet") << "abcdefghijklmnopqrstuvwxyz"
                                  << "c3fcd3d76192e4007dfb496cca67e13b";
        QTest::newRow("letters and digits")
            << "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
            << "d174ab98d277d9f5a5611c2c9f419d9f";
        QTest::newRow("eighty digits")
            << "12345678901234567890123456789012345678901234567890123456789012345678901234567890"
            << "57edf4a22be3c955ac49da2e2107b67a";
        // One byte per UTF-16 code unit, "?" for anything above 0x7F.
        QTest::newRow("accented letter") << QStringLiteral("caf\u00E9") << "333027b148fc48b3494f9b895f9c857a";
        QTest::newRow("question mark itself") << "caf?"
                                              << "333027b148fc48b3494f9b895f9c857a";
        QTest::newRow("euro sign") << QStringLiteral("\u20AC") << "d1457b72c3fb323a2671125aef3eab5d";
        QTest::newRow("DEL stays a byte") << QStringLiteral("\u007F") << "83acb6e67e50e31db6ed341dd2de1595";
        QTest::newRow("first code unit above")
            << QStringLiteral("\u0080") << "d1457b72c3fb323a2671125aef3eab5d";
        QTest::newRow("outside the BMP, two units")
            << QStringLiteral("\U0001F600") << "ea03fcb8c47822bce772cf6c07d0ebbb";
    }
    void md5()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(MD5(text), expected);
    }

    void password_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("expected");
        QTest::newRow("demo") << "demo"
                              << "2733817121b7af47dc72539f18c409d5";
        QTest::newRow("empty") << ""
                               << "b916e3a3a3a738a05fd2926916c48151";
        QTest::newRow("with a space and signs") << "Secret 1!"
                                                << "c3334d91e04bd98ef5b22163a26f03e6";
        QTest::newRow("with a question mark") << "caf?"
                                              << "7d3132f10e24ee5465d07ce67906a1e1";
        QTest::newRow("accented letter, same as ?")
            << QStringLiteral("caf\u00E9") << "7d3132f10e24ee5465d07ce67906a1e1";
        QTest::newRow("outside the BMP, same as ??")
            << QStringLiteral("p\U0001F600ss") << "9ef8c9267370bd274a094661d6aea9a8";
    }
    void password()
    {
        QFETCH(QString, password);
        QFETCH(QString, expected);
        const QString h = wp_hash_password(password);
        QCOMPARE(h, expected);
        QVERIFY(isLowerHex32(h));
    }
};

QTEST_GUILESS_MAIN(TestHash)
#include "tst_hash.moc"
