#include "output/print_run.h"

#include "base/message_flags.h"
#include "output/printer.h"

namespace kelvad {

bool ReportEmptyList(const FileList& files, MessageSink& messages) {
    if (files.Count() > 0) {
        return false;
    }
    messages.ShowMessageBox("ファイルがありません", kCaption, kExclamationIcon);
    return true;
}

Recording RecordingFor(FileOutcome outcome) {
    switch (outcome) {
    case FileOutcome::Output:
        return Recording::FileAndRow;
    case FileOutcome::NotFound:
        return Recording::RowOnly;
    default:
        return Recording::None;
    }
}

OutputLoopResult OutputFiles(const FileList& files, const OutputStep& outputFile, const ProgressSink& progress,
                             FileSystem& fs, const std::function<bool()>& stop) {
    OutputLoopResult result;
    const int selectedCount = files.SelectedCount();
    const int rowCount = files.Count();
    int processed = 0;
    for (int index = 0; index < rowCount; ++index) {
        if (selectedCount > 0 && !files.IsSelected(index)) {
            continue;
        }
        ++processed;
        const bool lastOfRun = selectedCount == 0 ? index == rowCount - 1 : processed == selectedCount;
        const std::wstring path = files.Item(index);
        fs.ShowArrow();
        // Taken before the file is read: any change from here on shows at the delete pass.
        const std::optional<FileStamp> stamp = fs.Stamp(path);
        const FileOutcome outcome = outputFile(path, RunPosition{index, processed, lastOfRun});
        if (progress.Aborted()) {
            result.everyFileOutput = false;
            result.aborted = true;
            break;
        }
        const bool stopped = stop && stop();
        if (outcome != FileOutcome::Output || stopped) {
            result.everyFileOutput = false;
        }
        const Recording recording = RecordingFor(outcome);
        if (recording != Recording::None) {
            result.outputIndexes.push_back({index, recording == Recording::FileAndRow, stamp});
        }
        if (stopped) {
            break;
        }
    }
    return result;
}

bool DeleteOutputFiles(FileList& files, const std::vector<RecordedRow>& outputIndexes, FileSystem& fs,
                       MessageSink& messages) {
    bool everyFileDeleted = true;
    for (auto it = outputIndexes.rbegin(); it != outputIndexes.rend(); ++it) {
        if (it->deleteFile) {
            const std::wstring path = files.Item(it->index);
            const std::optional<FileStamp> now = fs.Stamp(path);
            if (now && now != it->stamp) {
                messages.ShowWideMessageBox(NamedText(path, " は出力後に変更されました\r\n削除しません"), path,
                                            kStopIcon);
                everyFileDeleted = false;
                continue;
            }
            if (now)
                fs.RemoveFile(path);
        }
        files.Delete(it->index);
    }
    return everyFileDeleted;
}

bool RunRawPrint(FileList& files, bool deleteFiles, const OutputStep& outputFile, const ProgressSink& progress,
                 FileSystem& fs, MessageSink& messages) {
    if (ReportEmptyList(files, messages)) {
        return false;
    }
    const OutputLoopResult loop = OutputFiles(files, outputFile, progress, fs);
    const bool deleted = !deleteFiles || DeleteOutputFiles(files, loop.outputIndexes, fs, messages);
    return loop.everyFileOutput && deleted;
}

bool RunImagePrint(FileList& files, bool deleteFiles, const OutputStep& outputFile, const ProgressSink& progress,
                   FileSystem& fs, MessageSink& messages, PrintDocument& document) {
    if (ReportEmptyList(files, messages)) {
        return false;
    }
    bool refused = true;
    try {
        refused = !document.Begin();
    } catch (const PrinterError&) {
        // The printer went away since it was chosen: refused like a document it will not take.
    }
    const OutputStep outputPage = [&](const std::wstring& path, const RunPosition& position) {
        const FileOutcome outcome = outputFile(path, position);
        if (!position.lastOfRun && !document.NewPage()) {
            refused = true;
        }
        return outcome;
    };
    OutputLoopResult loop;
    if (!refused) {
        try {
            loop = OutputFiles(files, outputPage, progress, fs, [&] { return refused; });
        } catch (...) {
            // No half-made job is left in the spooler.
            document.Abort();
            throw;
        }
    }
    if (!refused) {
        refused = !document.End();
    }
    if (refused) {
        document.Abort();
        if (!loop.aborted) {
            messages.ShowWideMessageBox(NamedText(document.PrinterName(), " に出力できません"), kWideCaption,
                                        kStopIcon);
        }
        return false;
    }
    const bool deleted = !deleteFiles || DeleteOutputFiles(files, loop.outputIndexes, fs, messages);
    return loop.everyFileOutput && deleted;
}

} // namespace kelvad
