// The virtual pad's journal (C:\virtual_pad.log), written by its kernel driver: one line per event.
//   write <report id> <length> <hex bytes> device <address>
//                                            an output report that reached the pad, with the
//                                            device object of the pad that received it
//   control-open share <n> / control-close   the control device opened and closed
//   request <code> in <n> out <n>            a device control request, followed by
//   value <name>=<text>                      each text value of the settings key at that moment,
//   request-end
#pragma once

#include <string>
#include <vector>

class PadJournal {
public:
    // Lines appended after the last mark (all lines before the first mark).
    std::vector<std::string> fresh() const;
    // Forgets everything journalled so far: later calls of fresh() start after it.
    void mark();
    // Waits up to timeoutMs until some fresh line begins with prefix; returns whether one did.
    bool waitFor(const std::string& prefix, unsigned timeoutMs) const;

    // The output reports journalled since the mark, once at least count of them arrived or after
    // timeoutMs.
    std::vector<std::vector<unsigned char>> waitReports(size_t count, unsigned timeoutMs) const;

    // Output reports among lines: the bytes of every "write 2 20 ..." line, in order.
    static std::vector<std::vector<unsigned char>> reports(const std::vector<std::string>& lines);
    // The same with the device that received each.
    struct Write {
        std::vector<unsigned char> bytes;
        std::string device;
    };
    static std::vector<Write> writes(const std::vector<std::string>& lines);
    // The device control requests among lines, each as "name=text" lines of the values seen.
    struct Request {
        std::string code;
        std::vector<std::string> values;
    };
    static std::vector<Request> requests(const std::vector<std::string>& lines);

    static constexpr const char* path = "C:\\virtual_pad.log";

private:
    size_t offset_ = 0;
};
