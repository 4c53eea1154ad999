#include "pad_reports/pad_reports.h"

namespace {

Report blankReport()
{
    Report report(REPORT_SIZE, 0);
    report[0] = 2;
    report[1] = REPORT_SIZE;
    return report;
}

void putWord(Report& report, size_t at, uint16_t value)
{
    report[at] = static_cast<unsigned char>(value & 0xFF);
    report[at + 1] = static_cast<unsigned char>(value >> 8);
}

Report sealed(Report report)
{
    unsigned sum = 0;
    for (size_t i = 0; i + 1 < REPORT_SIZE; ++i)
        sum += report[i];
    report[REPORT_SIZE - 1] = static_cast<unsigned char>(0x100 - (sum & 0xFF));
    return report;
}

} // namespace

Report commandReport(PadCommand command, unsigned char value)
{
    Report report = blankReport();
    report[3] = static_cast<unsigned char>(command);
    report[4] = value;
    return sealed(report);
}

Report effectReport(unsigned char type, int16_t a, int16_t b, uint16_t durationMs, uint16_t count, int16_t c,
                    int16_t d, unsigned char id)
{
    Report report = blankReport();
    report[2] = type;
    putWord(report, 3, static_cast<uint16_t>(a));
    putWord(report, 5, static_cast<uint16_t>(b));
    putWord(report, 10, durationMs);
    putWord(report, 12, count);
    putWord(report, 14, static_cast<uint16_t>(c));
    putWord(report, 16, static_cast<uint16_t>(d));
    report[18] = id;
    return sealed(report);
}

bool sumsToZero(const Report& report)
{
    unsigned char sum = 0;
    for (unsigned char b : report)
        sum = static_cast<unsigned char>(sum + b);
    return sum == 0;
}
