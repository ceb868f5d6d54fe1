#include "output/spooler_win.h"

namespace kelvad {

namespace {

wchar_t kRawDataType[] = L"RAW";

} // namespace

DOC_INFO_1W RawDocInfo(const std::wstring& docName, const std::wstring& portName) {
    return {const_cast<wchar_t*>(docName.c_str()), portName.empty() ? nullptr : const_cast<wchar_t*>(portName.c_str()),
            kRawDataType};
}

bool WinSpooler::Open(const std::wstring& printerName) {
    HANDLE handle = nullptr;
    const bool opened = OpenPrinterW(const_cast<wchar_t*>(printerName.c_str()), &handle, nullptr) != 0;
    printer_.reset(opened ? handle : nullptr);
    return opened;
}

unsigned long WinSpooler::StartJob(const std::wstring& docName, const std::wstring& portName) {
    DOC_INFO_1W info = RawDocInfo(docName, portName);
    return StartDocPrinterW(printer_.get(), 1, reinterpret_cast<BYTE*>(&info));
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
    SetJobW(printer_.get(), jobId, 0, nullptr, JOB_CONTROL_CANCEL);
}

void WinSpooler::Close() {
    printer_.reset();
}

} // namespace kelvad
