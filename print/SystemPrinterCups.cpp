// The system's printers through CUPS (libcups), where the system prints with it.
#include "print/SystemPrinter.h"

#include "common/RuntimeError.h"

#include <cups/cups.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace sbk3 {

namespace {

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
struct InfoDeleter {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;
using InfoPtr = std::unique_ptr<cups_dinfo_t, InfoDeleter>;

double points(int hundredthsOfMillimetre) {
    return hundredthsOfMillimetre * 72.0 / 2540.0;
}

std::string option(const cups_dest_t& dest, const char* name) {
    const char* value = cupsGetOption(name, dest.num_options, dest.options);
    return value ? value : "";
}

// libcups keeps its server for each thread once asked; the pool's threads live long, so each
// look-up takes the print system as it is set up now (CUPS_SERVER, client.conf).
void useCurrentServer() {
    cupsSetServer(nullptr);
}

DestPtr namedDest(const std::string& name) {
    useCurrentServer();
    return DestPtr(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.empty() ? nullptr : name.c_str(), nullptr));
}

int integerIn(ipp_t* collection, const char* name) {
    ipp_attribute_t* attribute = ippFindAttribute(collection, name, IPP_TAG_INTEGER);
    return attribute ? ippGetInteger(attribute, 0) : 0;
}

// The printer's default paper with the margins it keeps, from its default media collection;
// by the default media's name where it has none.
std::optional<SystemPrinter::Paper> defaultPaper(cups_dest_t* dest, cups_dinfo_t* info) {
    if (ipp_attribute_t* col = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-col")) {
        ipp_t* media = ippGetCollection(col, 0);
        ipp_attribute_t* size = ippFindAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION);
        if (ipp_t* dimensions = size ? ippGetCollection(size, 0) : nullptr) {
            const int width = integerIn(dimensions, "x-dimension");
            const int length = integerIn(dimensions, "y-dimension");
            if (width > 0 && length > 0)
                return SystemPrinter::Paper{points(width),
                                            points(length),
                                            points(integerIn(media, "media-left-margin")),
                                            points(integerIn(media, "media-top-margin")),
                                            points(integerIn(media, "media-right-margin")),
                                            points(integerIn(media, "media-bottom-margin"))};
        }
    }
    if (ipp_attribute_t* name = cupsFindDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media")) {
        cups_size_t size{};
        if (const char* text = ippGetString(name, 0, nullptr);
            text && cupsGetDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, text, 0, &size) &&
            size.width > 0 && size.length > 0)
            return SystemPrinter::Paper{points(size.width), points(size.length),
                                        points(size.left),  points(size.top),
                                        points(size.right), points(size.bottom)};
    }
    return std::nullopt;
}

RuntimeError refused(const std::string& printer) {
    return {ErrorNumber::PrinterError,
            "The printer " + printer + " refused the job: " + cupsLastErrorString()};
}

} // namespace

bool systemPrintersViaCups() {
    return true;
}

std::optional<SystemPrinter> defaultSystemPrinter() {
    return namedSystemPrinter({});
}

std::optional<SystemPrinter> namedSystemPrinter(const std::string& name) {
    const DestPtr dest = namedDest(name);
    if (!dest)
        return std::nullopt;
    SystemPrinter printer;
    printer.name = dest->name;
    printer.accepting = option(*dest, "printer-is-accepting-jobs") != "false";
    printer.stopped = option(*dest, "printer-state") == "5"; // IPP_PSTATE_STOPPED
    if (const InfoPtr info{cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get())})
        printer.paper = defaultPaper(dest.get(), info.get());
    return printer;
}

std::vector<SystemPrinter> systemPrinters() {
    useCurrentServer();
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::vector<SystemPrinter> printers;
    for (int i = 0; i < count; ++i) {
        const cups_dest_t& dest = dests[i];
        if (dest.instance)
            continue; // an instance is its printer with other options
        SystemPrinter printer;
        printer.name = dest.name;
        printer.accepting = option(dest, "printer-is-accepting-jobs") != "false";
        printer.stopped = option(dest, "printer-state") == "5";
        printer.isDefault = dest.is_default != 0;
        printers.push_back(std::move(printer));
    }
    cupsFreeDests(count, dests);
    std::stable_sort(
        printers.begin(), printers.end(),
        [](const SystemPrinter& a, const SystemPrinter& b) { return a.isDefault && !b.isDefault; });
    return printers;
}

void sendToPrinter(const SystemPrinter& printer, const std::string& title, std::string_view pdf) {
    const DestPtr dest = namedDest(printer.name);
    if (!dest)
        throw refused(printer.name);
    const InfoPtr info{cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get())};
    if (!info)
        throw refused(printer.name);
    int job = 0;
    if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest.get(), info.get(), &job, title.c_str(), 0,
                          nullptr) != IPP_STATUS_OK ||
        job <= 0)
        throw refused(printer.name);
    if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get(), job, title.c_str(),
                              CUPS_FORMAT_PDF, 0, nullptr, 1) != HTTP_STATUS_CONTINUE ||
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) != HTTP_STATUS_CONTINUE ||
        cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get()) != IPP_STATUS_OK) {
        const RuntimeError error = refused(printer.name);
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest.get(), job); // no half a job left queued
        throw error;
    }
}

} // namespace sbk3
