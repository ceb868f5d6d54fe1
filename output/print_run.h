#pragma once
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "output/file_system.h"
#include "output/output_checks.h"
#include "output/progress_sink.h"

namespace kelvad {

// The rows of the file list as the print run sees them.
class FileList {
public:
    virtual ~FileList() = default;
    virtual int Count() const = 0;
    virtual int SelectedCount() const = 0;
    virtual bool IsSelected(int index) const = 0;
    // The file's full path, UTF-16 as the system names it.
    virtual std::wstring Item(int index) const = 0;
    // Removes the row; an index that is no longer there is ignored.
    virtual void Delete(int index) = 0;
};

// Where a file stands in the run: its row, how many rows have had their turn (this one included), and whether
// it is the last file of the run (image pages break after every file but the last).
struct RunPosition {
    int index = 0;
    int processed = 0;
    bool lastOfRun = false;
};

// Outputs one file of the run and says what became of it.
using OutputStep = std::function<FileOutcome(const std::wstring& path, const RunPosition& position)>;

// What the run keeps of a file whose output step has returned: a wholly output file has its file deleted and its
// row removed (under the delete option), a file that was not found has only its row removed (there is nothing
// on disk to lose), and any other file keeps both.
enum class Recording { None, RowOnly, FileAndRow };
Recording RecordingFor(FileOutcome outcome);

// A row recorded for the delete pass, with its file's stamp as it stood when its output began.
struct RecordedRow {
    int index = 0;
    bool deleteFile = false;
    std::optional<FileStamp> stamp;
};

struct OutputLoopResult {
    std::vector<RecordedRow> outputIndexes; // the recorded rows, ascending
    bool everyFileOutput = true;            // false unless every file was wholly output and nothing aborted
    bool aborted = false;
};

// Shows the empty-list message and answers true when the list has no rows.
bool ReportEmptyList(const FileList& files, MessageSink& messages);

// Outputs the selected rows, or every row when none is selected, top to bottom, and records them as
// RecordingFor says; an abort leaves the loop without recording the current row, and `stop` answering true
// after a row leaves it after recording that row (the run then counts as not wholly output).
OutputLoopResult OutputFiles(const FileList& files, const OutputStep& outputFile, const ProgressSink& progress,
                             FileSystem& fs, const std::function<bool()>& stop = {});

// Deletes the files of the recorded rows that were output and removes the recorded rows, highest row first;
// failures are ignored. A file whose stamp is no longer the one recorded changed after its output began: it is
// not what went out, so it keeps its file and its row, and a stop box names it. A file that is gone loses only its
// row. Answers false when a file was kept so.
bool DeleteOutputFiles(FileList& files, const std::vector<RecordedRow>& outputIndexes, FileSystem& fs,
                       MessageSink& messages);

// The print run over the file list in raw mode, from the empty-list check to the delete pass. Answers true when
// every file was wholly output and, under the delete option, deleted unchanged (an empty list, any other outcome,
// a file kept by the delete pass and an abort all answer false).
bool RunRawPrint(FileList& files, bool deleteFiles, const OutputStep& outputFile, const ProgressSink& progress,
                 FileSystem& fs, MessageSink& messages);

// The one GDI document of an image run. Each call answers whether the device took it; a document with a failed
// call is dead: nothing more is drawn into it and it is aborted.
class PrintDocument {
public:
    virtual ~PrintDocument() = default;
    virtual bool Begin() = 0;   // starts the document and its first page (StartDoc, StartPage)
    virtual bool NewPage() = 0; // ends the page and starts the next (EndPage, StartPage)
    virtual bool End() = 0;     // ends the page and the document, which then goes to the printer (EndPage, EndDoc)
    virtual void Abort() = 0;   // drops the unfinished document
    virtual std::wstring PrinterName() = 0; // the printer the document goes to
};

// The print run in image mode: one document for the whole run, a page break after every file of the run but the
// last (whether it printed or not), the document ended also after an abort, and dropped when an error ends
// the run. A document the printer refuses (any of its calls fails, or the printer is gone when it begins) stops
// the run at once: it is aborted, no file counts as output (none is deleted, every row stays), and a stop box
// names the printer unless the user had aborted. Answers as RunRawPrint does.
bool RunImagePrint(FileList& files, bool deleteFiles, const OutputStep& outputFile, const ProgressSink& progress,
                   FileSystem& fs, MessageSink& messages, PrintDocument& document);

} // namespace kelvad
