// Verifying the chain of a company's journal entries on the generated books: the entries
// and lines streamed and hashed, as Setup -> Verify Journal Entries does.
//
//   verify_bench --port N [--database veldra_bench] [--runs 3]
#include "BenchOptions.h"
#include "BenchTiming.h"

#include "db/Connection.h"
#include "journal/JournalVerification.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const BenchOptions opt = BenchOptions::parse(app.arguments());
    SetConnectionSettings({opt.host, opt.port, opt.database, opt.user, opt.password});
    Connection connection;
    connection.open();
    QTextStream out(stdout);
    QList<double> all;
    for (int run = 0; run < std::max(1, opt.runs); ++run) {
        qint64 entries = 0;
        bool altered = false;
        const double s = seconds([&] {
            for (int company = 1; company <= BenchBooks::Companies; ++company) {
                const JournalVerification v
                    = JournalVerificationStore::verify(company, [](qint64, qint64) { return true; });
                entries += v.checked;
                altered = altered || v.firstAltered.has_value();
            }
        });
        all << s;
        out << QStringLiteral("run %1: %2 entries verified in %3 s%4\n")
                   .arg(run + 1)
                   .arg(entries)
                   .arg(s, 0, 'f', 3)
                   .arg(altered ? QStringLiteral(" (an entry was found altered)") : QString());
        out.flush();
    }
    out << QStringLiteral(
        "verifying every entry of both companies, median of %1: %2 s (goal <= 10 s), peak %3\n")
               .arg(all.size())
               .arg(median(all), 0, 'f', 3)
               .arg(peakMemory());
    return 0;
}
