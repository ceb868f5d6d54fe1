#pragma once

// The result codes of the published image plug-in interface, shared by the loader, the image pages and the
// plug-ins.
namespace kelvad::plugin {

constexpr int kOk = 0;
constexpr int kNotImplemented = -1;
constexpr int kAborted = 1;
constexpr int kUnknownFormat = 2;
constexpr int kCorrupt = 3;
constexpr int kNoMemory = 4;
constexpr int kMemoryError = 5;
constexpr int kReadError = 6;
constexpr int kInternalError = 8;

} // namespace kelvad::plugin
