// The system's printers through CUPS (libcups), where the system prints with it. The library is
// loaded when the print system is first asked, not when the program starts: with what it brings
// along (GnuTLS, Kerberos) it holds about 2 MB that a window which never prints does not need.
#include "print/SystemPrinter.h"

#include "common/RuntimeError.h"

#include <cups/cups.h> // the library's types and names; its functions come through Cups below

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <dlfcn.h>

namespace sbk3 {

namespace {

// The functions of libcups the program calls, looked up once.
struct Cups {
    decltype(&::cupsSetServer) setServer;
    decltype(&::cupsGetNamedDest) getNamedDest;
    decltype(&::cupsGetDests2) getDests2;
    decltype(&::cupsFreeDests) freeDests;
    decltype(&::cupsGetOption) getOption;
    decltype(&::cupsCopyDestInfo) copyDestInfo;
    decltype(&::cupsFreeDestInfo) freeDestInfo;
    decltype(&::cupsFindDestDefault) findDestDefault;
    decltype(&::cupsGetDestMediaByName) getDestMediaByName;
    decltype(&::cupsLastErrorString) lastErrorString;
    decltype(&::cupsCreateDestJob) createDestJob;
    decltype(&::cupsStartDestDocument) startDestDocument;
    decltype(&::cupsWriteRequestData) writeRequestData;
    decltype(&::cupsFinishDestDocument) finishDestDocument;
    decltype(&::cupsCancelDestJob) cancelDestJob;
    decltype(&::ippFindAttribute) findAttribute;
    decltype(&::ippGetCollection) getCollection;
    decltype(&::ippGetInteger) getInteger;
    decltype(&::ippGetString) getString;
};

template <typename Function> bool lookUp(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// Nothing where the system has no libcups (or one without these functions): then Qt's printer
// does the printing.
const Cups* loadCups() {
    void* library = ::dlopen("libcups.so.2", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return nullptr;
    static Cups cups{};
    const bool found = lookUp(library, "cupsSetServer", cups.setServer) &&
                       lookUp(library, "cupsGetNamedDest", cups.getNamedDest) &&
                       lookUp(library, "cupsGetDests2", cups.getDests2) &&
                       lookUp(library, "cupsFreeDests", cups.freeDests) &&
                       lookUp(library, "cupsGetOption", cups.getOption) &&
                       lookUp(library, "cupsCopyDestInfo", cups.copyDestInfo) &&
                       lookUp(library, "cupsFreeDestInfo", cups.freeDestInfo) &&
                       lookUp(library, "cupsFindDestDefault", cups.findDestDefault) &&
                       lookUp(library, "cupsGetDestMediaByName", cups.getDestMediaByName) &&
                       lookUp(library, "cupsLastErrorString", cups.lastErrorString) &&
                       lookUp(library, "cupsCreateDestJob", cups.createDestJob) &&
                       lookUp(library, "cupsStartDestDocument", cups.startDestDocument) &&
                       lookUp(library, "cupsWriteRequestData", cups.writeRequestData) &&
                       lookUp(library, "cupsFinishDestDocument", cups.finishDestDocument) &&
                       lookUp(library, "cupsCancelDestJob", cups.cancelDestJob) &&
                       lookUp(library, "ippFindAttribute", cups.findAttribute) &&
                       lookUp(library, "ippGetCollection", cups.getCollection) &&
                       lookUp(library, "ippGetInteger", cups.getInteger) &&
                       lookUp(library, "ippGetString", cups.getString);
    return found ? &cups : nullptr; // the library stays loaded: its threads may still use it
}

const Cups* cups() {
    static const Cups* const loaded = loadCups();
    return loaded;
}

// Only called once systemPrintersViaCups() has answered true.
const Cups& api() {
    return *cups();
}

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { api().freeDests(1, dest); }
};
struct InfoDeleter {
    void operator()(cups_dinfo_t* info) const { api().freeDestInfo(info); }
};
using DestPtr = std::unique_ptr<cups_dest_t, DestDeleter>;
using InfoPtr = std::unique_ptr<cups_dinfo_t, InfoDeleter>;

double points(int hundredthsOfMillimetre) {
    return hundredthsOfMillimetre * 72.0 / 2540.0;
}

std::string option(const cups_dest_t& dest, const char* name) {
    const char* value = api().getOption(name, dest.num_options, dest.options);
    return value ? value : "";
}

// libcups keeps its server for each thread once asked, and the pool's threads live long: where
// CUPS_SERVER has changed since this thread last asked, the server is looked up anew. Not on
// every look-up: that reads the client's settings again and reconnects, some milliseconds a page.
void useCurrentServer() {
    thread_local bool asked = false;
    thread_local std::string server;
    const char* set = std::getenv("CUPS_SERVER");
    const std::string now = set ? set : "";
    if (asked && now == server)
        return;
    if (asked) // the first look-up on a thread reads it anyway
        api().setServer(nullptr);
    asked = true;
    server = now;
}

DestPtr namedDest(const std::string& name) {
    useCurrentServer();
    return DestPtr(
        api().getNamedDest(CUPS_HTTP_DEFAULT, name.empty() ? nullptr : name.c_str(), nullptr));
}

int integerIn(ipp_t* collection, const char* name) {
    ipp_attribute_t* attribute = api().findAttribute(collection, name, IPP_TAG_INTEGER);
    return attribute ? api().getInteger(attribute, 0) : 0;
}

// The printer's default paper with the margins it keeps, from its default media collection;
// by the default media's name where it has none.
std::optional<SystemPrinter::Paper> defaultPaper(cups_dest_t* dest, cups_dinfo_t* info) {
    if (ipp_attribute_t* col = api().findDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media-col")) {
        ipp_t* media = api().getCollection(col, 0);
        ipp_attribute_t* size = api().findAttribute(media, "media-size", IPP_TAG_BEGIN_COLLECTION);
        if (ipp_t* dimensions = size ? api().getCollection(size, 0) : nullptr) {
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
    if (ipp_attribute_t* name = api().findDestDefault(CUPS_HTTP_DEFAULT, dest, info, "media")) {
        cups_size_t size{};
        if (const char* text = api().getString(name, 0, nullptr);
            text && api().getDestMediaByName(CUPS_HTTP_DEFAULT, dest, info, text, 0, &size) &&
            size.width > 0 && size.length > 0)
            return SystemPrinter::Paper{points(size.width), points(size.length),
                                        points(size.left),  points(size.top),
                                        points(size.right), points(size.bottom)};
    }
    return std::nullopt;
}

RuntimeError refused(const std::string& printer) {
    return {ErrorNumber::PrinterError,
            "The printer " + printer + " refused the job: " + api().lastErrorString()};
}

} // namespace

bool systemPrintersViaCups() {
    return cups() != nullptr;
}

std::optional<SystemPrinter> defaultSystemPrinter() {
    return namedSystemPrinter({});
}

std::optional<SystemPrinter> namedSystemPrinter(const std::string& name) {
    if (!cups())
        return std::nullopt;
    const DestPtr dest = namedDest(name);
    if (!dest)
        return std::nullopt;
    SystemPrinter printer;
    printer.name = dest->name;
    printer.accepting = option(*dest, "printer-is-accepting-jobs") != "false";
    printer.stopped = option(*dest, "printer-state") == "5"; // IPP_PSTATE_STOPPED
    if (const InfoPtr info{api().copyDestInfo(CUPS_HTTP_DEFAULT, dest.get())})
        printer.paper = defaultPaper(dest.get(), info.get());
    return printer;
}

std::vector<SystemPrinter> systemPrinters() {
    if (!cups())
        return {};
    useCurrentServer();
    cups_dest_t* dests = nullptr;
    const int count = api().getDests2(CUPS_HTTP_DEFAULT, &dests);
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
    api().freeDests(count, dests);
    std::stable_sort(
        printers.begin(), printers.end(),
        [](const SystemPrinter& a, const SystemPrinter& b) { return a.isDefault && !b.isDefault; });
    return printers;
}

void sendToPrinter(const SystemPrinter& printer, const std::string& title, std::string_view pdf) {
    if (!cups())
        throw RuntimeError(ErrorNumber::PrinterError, "The print system cannot be reached");
    const DestPtr dest = namedDest(printer.name);
    if (!dest)
        throw refused(printer.name);
    const InfoPtr info{api().copyDestInfo(CUPS_HTTP_DEFAULT, dest.get())};
    if (!info)
        throw refused(printer.name);
    int job = 0;
    if (api().createDestJob(CUPS_HTTP_DEFAULT, dest.get(), info.get(), &job, title.c_str(), 0,
                            nullptr) != IPP_STATUS_OK ||
        job <= 0)
        throw refused(printer.name);
    if (api().startDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get(), job, title.c_str(),
                                CUPS_FORMAT_PDF, 0, nullptr, 1) != HTTP_STATUS_CONTINUE ||
        api().writeRequestData(CUPS_HTTP_DEFAULT, pdf.data(), pdf.size()) != HTTP_STATUS_CONTINUE ||
        api().finishDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get()) != IPP_STATUS_OK) {
        const RuntimeError error = refused(printer.name);
        api().cancelDestJob(CUPS_HTTP_DEFAULT, dest.get(), job); // no half a job left queued
        throw error;
    }
}

} // namespace sbk3
