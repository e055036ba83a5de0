#include "rom/file_commands.h"

#include "chart/type_chart.h"
#include "rom/rom_image.h"
#include "strings/message_boxes.h"

// Open enables these and Close disables them, in this order.
void TForm1::SetOpenFileControlsEnabled(bool enabled) {
    Save1->setEnabled(enabled);
    Close1->setEnabled(enabled);
    const std::initializer_list<QWidget*> controls{ChangeButton,
                                                   InsertButton,
                                                   AttackingTypeLabel,
                                                   DefendingTypeLabel,
                                                   AttackingTypeComboBox,
                                                   DefendingTypeComboBox,
                                                   MultFactorRadioGroup,
                                                   ChangeToForesightEntryButton,
                                                   InsertForesightEntryButton,
                                                   DeleteButton};
    for (QWidget* control : controls)
        control->setEnabled(enabled);
}

namespace {

// What the user is told when the chosen file cannot be attached: its reason, never that a file
// that may well be a good image is not supported.
StringKey RefusalMessage(AttachError error) {
    switch (error) {
    case AttachError::NoSuchFile:
        return NoSuchFileMessage;
    case AttachError::NotWritable:
        return NotWritableFileMessage;
    case AttachError::InUse:
        return FileInUseMessage;
    case AttachError::NotRegularFile:
        return NotRegularFileMessage;
    default:
        return FileSystemErrorMessage;
    }
}

// The read met a real error, not the end of the file: nothing read may be shown, or saved back.
bool ReadFailed() {
    return RomStream.fail() && RomStream.failure() != StreamFailure::EndReached;
}

// The message of a failed save: that it failed, why, and, when the write stopped part-way, that
// the file now holds part of the chart.
std::vector<StringKey> SaveFailureLines() {
    const std::size_t written = RomStream.bytesWritten();
    std::vector<StringKey> lines{SaveFailedMessage};
    switch (RomStream.failure()) {
    case StreamFailure::NotSeen: // only bytes past the end of the file go unread in the chart
        lines.push_back(ChartCutShortReason);
        break;
    case StreamFailure::FileChanged:
        lines.push_back(written > 0 ? ChartWrittenThenChangedReason : FileChangedReason);
        break;
    case StreamFailure::DeviceFull:
        lines.push_back(DeviceFullReason);
        break;
    case StreamFailure::DeviceError:
        lines.push_back(DeviceErrorReason);
        break;
    default:
        lines.push_back(SystemErrorReason);
    }
    if (written > 0 && written < ChartSize)
        lines.push_back(PartOfChartWrittenNote);
    return lines;
}

} // namespace

// Back to the no-image state: no file attached, an empty list, the commands disabled.
void TForm1::ShowNoImage() {
    if (RomStream.is_open())
        RomStream.close();
    ListBox1->clear();
    SetOpenFileControlsEnabled(false);
}

// Nothing may be saved into a file that was not recognised or not read whole, and no command may
// run without a chart on show: the refused file is let go before the user is told why.
void TForm1::RefuseOpen(StringKey why) {
    ShowNoImage();
    ShowNotice(why, AttentionTitle);
}

void TForm1::Open1Click() {
    RunHandler([this] {
        if (RomStream.is_open() && !AskYesNo(AlreadyOpenMessage, WarningTitle))
            return;
        if (!OpenDialog1.Execute(this))
            return;
        RomStream.open(OpenDialog1.FileName); // lets go of the image that was open first
        if (!RomStream.is_open())
            return RefuseOpen(RefusalMessage(RomStream.attachError()));
        const QByteArray code = ReadGameCode();
        if (ReadFailed())
            return RefuseOpen(ReadErrorMessage);
        // A refused file leaves the chart and its offset as they were, as an unsupported one does.
        const TypeChartTable chartBefore = TypeChart;
        const std::uint32_t offsetBefore = TableOffset;
        if (!FindTableOffset(code))
            return RefuseOpen(UnsupportedRomMessage);
        ReadTypeChart();
        if (ReadFailed()) {
            TypeChart = chartBefore;
            TableOffset = offsetBefore;
            return RefuseOpen(ReadErrorMessage);
        }
        SetOpenFileControlsEnabled(true);
        BuildEntryTexts();
        FillListBox();
        WarnIfSeveralForesightEntries();
    });
}

void TForm1::Save1Click() {
    RunHandler([] {
        WriteTypeChart();
        if (RomStream.fail())
            ShowNotice(SaveFailureLines(), WarningTitle);
        else
            ShowNotice(SavedMessage, AttentionTitle);
    });
}

void TForm1::Close1Click() {
    RunHandler([this] { ShowNoImage(); });
}

void TForm1::Exit1Click() {
    RunHandler([this] { close(); });
}
