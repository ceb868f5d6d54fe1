#include "output/spooler_win.h"

namespace kelvad {

namespace {

char kRawDataType[] = "RAW";

} // namespace

DOC_INFO_1A RawDocInfo(const std::string& docName, const std::string& portName) {
    return {const_cast<char*>(docName.c_str()), portName.empty() ? nullptr : const_cast<char*>(portName.c_str()),
            kRawDataType};
}

bool WinSpooler::Open(const std::string& printerName) {
    HANDLE handle = nullptr;
    const bool opened = OpenPrinterA(const_cast<char*>(printerName.c_str()), &handle, nullptr) != 0;
    printer_.reset(opened ? handle : nullptr);
    return opened;
}

unsigned long WinSpooler::StartJob(const std::string& docName, const std::string& portName) {
    DOC_INFO_1A info = RawDocInfo(docName, portName);
    return StartDocPrinterA(printer_.get(), 1, reinterpret_cast<BYTE*>(&info));
}

bool WinSpooler::Write(const char* data, std::size_t size) {
    DWORD written = 0;
    return WritePrinter(printer_.get(), const_cast<char*>(data), static_cast<DWORD>(size), &written) != 0 &&
           written == size;
}

bool WinSpooler::EndDoc() {
    return EndDocPrinter(printer_.get()) != 0;
}

void WinSpooler::Cancel(unsigned long jobId) {
    SetJobA(printer_.get(), jobId, 0, nullptr, JOB_CONTROL_CANCEL);
}

void WinSpooler::Close() {
    printer_.reset();
}

} // namespace kelvad
