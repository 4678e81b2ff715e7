// The utilities' file dialogs and messages.

#include "foundation/VuzErazs.h"
#include "platform/rtl/FileUtils.h"
#include "platform/vcl/Dialogs.h"

int TVuzErazs::Message(const String& AMessage)
{
    return MessageDlgPos(AMessage, mtInformation, TMessageDialogButtons { mbOK }, 0, -1, -1);
}

int TVuzErazs::Message(const String& AMessage, int ADialogType, std::uint64_t AButtons, int AHelpContext)
{
    return MessageDlg(AMessage, TMessageDialogType(ADialogType), TMessageDialogButtons::FromBits(AButtons), AHelpContext);
}

bool TVuzErazs::SelectFile(String& AFileName, const String& ADefaultFolder, const String& AFilter,
    const TVuzErazsFileCallBackEvent& ACallBack)
{
    TOpenDialog dialog;
    dialog.SetOptions(TOpenOptions { ofFileMustExist });
    dialog.SetInitialDir(AddForwardslash(ADefaultFolder.empty() ? GetDocumentsPath() : ADefaultFolder));
    dialog.SetFilter(AFilter);
    const bool result = dialog.Execute();
    if (result)
        AFileName = dialog.GetFileName();
    if (ACallBack)
        ACallBack(AFileName, result);
    return result;
}

bool TVuzErazs::SaveFile(String& AFileName, const String& AFilter, const TVuzErazsFileCallBackEvent& ACallBack)
{
    TSaveDialog dialog;
    dialog.SetOptions(TOpenOptions { ofOverwritePrompt });
    const String folder = ExtractFileDir(AFileName);
    dialog.SetInitialDir(AddForwardslash(folder.empty() ? GetDocumentsPath() : folder));
    dialog.SetFileName(ExtractFileName(AFileName));
    dialog.SetFilter(AFilter);
    const bool result = dialog.Execute();
    if (result) {
        const String proposedExt = ExtractFileExt(AFileName);
        String chosen = dialog.GetFileName();
        if (ExtractFileExt(chosen).empty())
            chosen += proposedExt;
        AFileName = chosen;
    }
    if (ACallBack)
        ACallBack(AFileName, result);
    return result;
}
