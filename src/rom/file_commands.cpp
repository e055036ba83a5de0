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

} // namespace

void TForm1::Open1Click() {
    RunHandler([this] {
        if (RomStream.is_open() && !AskYesNo(AlreadyOpenMessage, WarningTitle))
            return;
        if (!OpenDialog1.Execute(this))
            return;
        if (RomStream.is_open())
            RomStream.close();
        else
            SetOpenFileControlsEnabled(true);
        RomStream.open(OpenDialog1.FileName);
        const bool attached = RomStream.is_open();
        if (!attached || !FindTableOffset(ReadGameCode())) {
            ShowNotice(attached ? UnsupportedRomMessage : RefusalMessage(RomStream.attachError()),
                       AttentionTitle);
            // Back to the no-ROM state: nothing may be saved into a file that was not
            // recognised, and no command may run without a chart on show.
            if (attached)
                RomStream.close();
            ListBox1->clear();
            SetOpenFileControlsEnabled(false);
            return;
        }
        ReadTypeChart();
        BuildEntryTexts();
        FillListBox();
        WarnIfSeveralForesightEntries();
    });
}

void TForm1::Save1Click() {
    RunHandler([] {
        WriteTypeChart();
        if (RomStream.fail())
            ShowNotice(SaveFailedMessage, WarningTitle);
        else
            ShowNotice(SavedMessage, AttentionTitle);
    });
}

void TForm1::Close1Click() {
    RunHandler([this] {
        RomStream.close();
        ListBox1->clear();
        SetOpenFileControlsEnabled(false);
    });
}

void TForm1::Exit1Click() {
    RunHandler([this] { close(); });
}
