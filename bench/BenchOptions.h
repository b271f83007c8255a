#pragma once
// What the benchmark's two programs share: the size of the books and the server to use.
#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QTextStream>
#include <cstdlib>

namespace BenchBooks {
constexpr int Companies = 2;
constexpr int CostCentres = 4; // per company; every level-5 object on each
constexpr int Entries = 250000; // over both companies, 2 to 6 lines each (about 1 M lines)
inline const QDate FirstDay{2023, 3, 1}; // first day of the first of two years
// The journal list's month: every eighth entry of company 1 is dated in it, which with
// its even share makes about 20 000 entries in that one month.
inline const QDate DenseMonth{2024, 6, 1};
constexpr int DenseShare = 8;
}

struct BenchOptions {
    QString host = QStringLiteral("127.0.0.1");
    int port = 3306;
    QString user = QStringLiteral("root");
    QString password;
    QString database = QStringLiteral("veldra_bench");
    int runs = 7;
    int entries = BenchBooks::Entries; // tb_generate: how many entries to write
    QString workDir = QStringLiteral(".");

    static BenchOptions parse(const QStringList& args)
    {
        BenchOptions o;
        for (int i = 1; i + 1 < args.size(); i += 2) {
            const QString& k = args[i];
            const QString& v = args[i + 1];
            if (k == QLatin1String("--host"))
                o.host = v;
            else if (k == QLatin1String("--port"))
                o.port = v.toInt();
            else if (k == QLatin1String("--user"))
                o.user = v;
            else if (k == QLatin1String("--password"))
                o.password = v;
            else if (k == QLatin1String("--database"))
                o.database = v;
            else if (k == QLatin1String("--runs"))
                o.runs = v.toInt();
            else if (k == QLatin1String("--entries"))
                o.entries = v.toInt();
            else if (k == QLatin1String("--workdir"))
                o.workDir = v;
            else {
                QTextStream(stderr) << "Unknown option " << k << "\n";
                std::exit(2);
            }
        }
        return o;
    }

    QSqlDatabase connect(const QString& name) const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QMYSQL"), name);
        db.setHostName(host);
        db.setPort(port);
        db.setUserName(user);
        db.setPassword(password);
        db.setDatabaseName(database);
        if (!db.open()) {
            QTextStream(stderr) << "Cannot connect: " << db.lastError().text() << "\n";
            std::exit(1);
        }
        return db;
    }
};
