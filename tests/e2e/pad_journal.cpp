#include "pad_journal.h"

#include <sstream>

#include "testlib/temp_dir.h"
#include "testlib/wait.h"

const char* PadJournal::path()
{
    return "C:\\virtual_pad.log";
}

std::vector<std::string> PadJournal::fresh() const
{
    std::string text = readFile(path());
    std::vector<std::string> lines;
    if (text.size() <= offset_)
        return lines;
    std::istringstream in(text.substr(offset_));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

void PadJournal::mark()
{
    offset_ = readFile(path()).size();
}

bool PadJournal::waitFor(const std::string& prefix, unsigned timeoutMs) const
{
    return waitUntil(
        [&] {
            for (const std::string& line : fresh())
                if (line.compare(0, prefix.size(), prefix) == 0)
                    return true;
            return false;
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
            std::istringstream in(line.substr(8));
            Request r;
            in >> r.code;
            out.push_back(r);
            inside = true;
        } else if (line == "request-end") {
            inside = false;
        } else if (inside && line.compare(0, 6, "value ") == 0) {
            out.back().values.push_back(line.substr(6));
        }
    }
    return out;
}
