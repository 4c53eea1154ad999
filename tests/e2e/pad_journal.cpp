#include "pad_journal.h"

#include <algorithm>
#include <sstream>

#include "testlib/temp_dir.h"
#include "testlib/wait.h"

std::vector<std::string> PadJournal::fresh() const
{
    const std::string text = readFile(path);
    std::istringstream in(text.size() > offset_ ? text.substr(offset_) : std::string());
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

void PadJournal::mark()
{
    offset_ = readFile(path).size();
}

bool PadJournal::waitFor(const std::string& prefix, unsigned timeoutMs) const
{
    return waitUntil(
        [&] {
            const auto lines = fresh();
            return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
                return line.compare(0, prefix.size(), prefix) == 0;
            });
        },
        timeoutMs, 50);
}

std::vector<std::vector<unsigned char>> PadJournal::waitReports(size_t count, unsigned timeoutMs) const
{
    std::vector<std::vector<unsigned char>> received;
    waitUntil(
        [&] {
            received = reports(fresh());
            return received.size() >= count;
        },
        timeoutMs);
    return received;
}

std::vector<std::vector<unsigned char>> PadJournal::reports(const std::vector<std::string>& lines)
{
    std::vector<std::vector<unsigned char>> out;
    for (Write& write : writes(lines))
        out.push_back(std::move(write.bytes));
    return out;
}

std::vector<PadJournal::Write> PadJournal::writes(const std::vector<std::string>& lines)
{
    std::vector<Write> out;
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string kind, hex, word;
        unsigned id = 0, length = 0;
        if (!(in >> kind >> id >> length >> hex) || kind != "write")
            continue;
        Write write;
        for (size_t i = 0; i + 1 < hex.size(); i += 2)
            write.bytes.push_back(static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
        if (in >> word && word == "device")
            in >> write.device;
        out.push_back(std::move(write));
    }
    return out;
}

std::vector<PadJournal::Request> PadJournal::requests(const std::vector<std::string>& lines)
{
    std::vector<Request> out;
    bool inside = false;
    for (const std::string& line : lines) {
        if (line.compare(0, 8, "request ") == 0) {
            out.push_back({line.substr(8, line.find(' ', 8) - 8), {}});
            inside = true;
        } else if (line == "request-end") {
            inside = false;
        } else if (inside && line.compare(0, 6, "value ") == 0) {
            out.back().values.push_back(line.substr(6));
        }
    }
    return out;
}
