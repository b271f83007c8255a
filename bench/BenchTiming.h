#pragma once
// Timing and memory figures the benchmarks share.
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QString>

#include <algorithm>

inline double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    const qsizetype n = v.size();
    if (n == 0)
        return 0;
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// A line of /proc/self/status in kB ("VmHWM" the peak, "VmRSS" the present); -1 unknown.
inline long long statusKb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).simplified().split(' ').value(0).toLongLong();
    return -1;
}

inline QString peakMemory()
{
    const long long kb = statusKb("VmHWM");
    return kb < 0 ? QStringLiteral("?") : QStringLiteral("%1 kB").arg(kb);
}

template <class F>
double seconds(F f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e9;
}
