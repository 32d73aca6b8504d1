// The texts of the program's message boxes, each written once, beside the dialogs and menus of
// Tessaly.rc: a reader or a translator finds them together. They are GBK like every narrow literal
// here; "{1}", "{2}" are blanks that fill (framework/Gbk.h) fills in, a file's path keeping
// every character. The texts of notes and balloons stay with the code that composes them.
#pragma once

// --- Start-up ---
constexpr char kUnzipFirst[] = "请先把 Tessaly 解压到一个文件夹，再运行其中的 Tessaly.exe。";
constexpr char kNoGdiplus[] = "无法启动 GDI+，Tessaly 不能显示，程序将退出。";
constexpr char kNoMemory[] = "内存不足，Tessaly 无法启动，程序将退出。";

// --- The anniversaries editor; {1} or {2} is the list's path ---
constexpr char kListTooLargeToEdit[] = "纪念日文件太大（超过 {1} MB），编辑器没有打开，以免覆盖其中的内容：\r\n{2}";
// {1} says why (fileErrorText).
constexpr char kListUnreadableToEdit[] =
    "无法读取纪念日文件（{1}）：\r\n{2}\r\n\r\n编辑器没有打开，以免覆盖其中的内容。请检查文件是否被其他程序占用，"
    "或是否有读取它的权限。";
constexpr char kAskEditCutAtZero[] =
    "纪念日文件中有空字符，编辑框只能显示第一个空字符之前的内容：\r\n{1}\r\n\r\n"
    "保存时，第一个空字符及其后的所有内容都会丢失。仍要编辑吗？";
constexpr char kAskEditChangesOnSave[] =
    "纪念日文件中有编辑框无法原样显示的内容（例如损坏的字符），保存时它们会被改变：\r\n{1}\r\n\r\n仍要编辑吗？";
constexpr char kAskSaveBeforeQuit[] = "纪念日列表中有尚未保存的修改。\r\n\r\n退出前要保存吗？";
// {1} is the box's limit in characters.
constexpr char kAskSaveCutText[] =
    "编辑框已达到长度上限（{1} 个字符），刚才输入或粘贴的内容有一部分没有进入编辑框。\r\n\r\n"
    "请先检查文本是否完整。仍要保存编辑框中现在的内容吗？";
constexpr char kAskSaveNotInGbk[] = "编辑框中有些字符无法用 GBK 编码保存，保存后会变成“?”。\r\n\r\n仍要保存吗？";
constexpr char kTextTooLargeToSave[] = "文本太大（超过 {1} MB），无法保存。";
constexpr char kAskOverwriteChangedList[] =
    "纪念日文件在编辑期间被其他程序修改过：\r\n{1}\r\n\r\n要用编辑框中的内容覆盖它吗？选“否”则不保存，"
    "您的文本仍在编辑框中。";
// {1} says why (saveErrorText).
constexpr char kListNotSaved[] = "无法保存纪念日文件（{1}）：\r\n{2}\r\n\r\n您的修改仍在编辑框中。";

// --- The item dialog ---
constexpr char kNameMissing[] = "请填写名称。";
constexpr char kNameStops[] = "名称里不能有英文逗号“,”或分号“;”：逗号隔开名称和日期，有分号的行不会显示。";
constexpr char kDateStops[] = "日期里不能有逗号或分号。";
// {1} is the largest number the option takes.
constexpr char kEveryDaysRange[] = "“每 N 天”的天数要在 1 到 {1} 之间。";
constexpr char kLeadRange[] = "提前的天数要在 0 到 {1} 之间。";
// Storing its line in the list: {1} is the list's path, or says why and {2} is the path.
constexpr char kListUnreadable[] = "无法读取纪念日文件（{1}）：\r\n{2}";
constexpr char kListUnkeepable[] =
    "纪念日文件中有无法原样保留的内容（例如损坏的字符）：\r\n{1}\r\n\r\n请用“纪念日...”打开它修改。";
constexpr char kLineMoved[] =
    "纪念日文件在编辑期间被其他程序修改过，这一行已不在原处：\r\n{1}\r\n\r\n没有保存，您的修改仍在窗口中。";
constexpr char kAskSaveLineNotInGbk[] =
    "名称或日期中有些字符无法用 GBK 编码保存，保存后会变成“?”。\r\n\r\n仍要保存吗？";
constexpr char kLineNotSaved[] = "无法保存纪念日文件（{1}）：\r\n{2}\r\n\r\n您的修改仍在窗口中。";

// --- The settings file could not be written; {1} is its path ---
constexpr char kSettingsNotSaved[] =
    "无法保存设置，下次启动时不会记住这些更改（例如拖动后的位置）。设置文件：\r\n{1}"
    "\r\n请检查它是否只读或被其他程序占用。";
// {2} is the size chosen.
constexpr char kFontSizeNotSaved[] =
    "字体大小已改为 "
    "{2}，但无法保存到设置文件：\r\n{1}\r\n\r\n下次启动时仍是原来的大小。请检查设置文件是否只读或被其他程序占用。";
constexpr char kOptionsNotSaved[] =
    "提醒、显示和位置的设置已生效，但无法保存到设置文件：\r\n{1}\r\n\r\n下次启动时仍是原来的设置。"
    "请检查设置文件是否只读或被其他程序占用。";
constexpr char kItemDirNotSaved[] =
    "纪念日文件位置无法保存到设置文件：\r\n{1}\r\n\r\n请检查设置文件是否只读或被其他程序占用。";

// --- The options dialog ---
constexpr char kFontSizeRange[] = "字体大小必须是 10 到 200 之间的整数。";
constexpr char kRemindAtForm[] = "提醒时间必须写成“时:分”，从 00:00 到 23:59，例如 09:00。";
constexpr char kRowsRange[] = "显示行数必须是 1 到 20 之间的整数。";
constexpr char kOpacityRange[] = "不透明度必须是 20 到 100 之间的整数。";
constexpr char kWithinRange[] = "只显示的天数必须是 0 到 36600 之间的整数（0 表示全部）。";
constexpr char kHotkeyForm[] =
    "快捷键要写成“Ctrl+Alt+D”这样：Ctrl、Alt、Shift、Win 中的一个或几个（至少有 Ctrl、Alt 或 Win），"
    "加一个字母、数字或 F1 到 F24，用“+”连起来。清空则不用快捷键。";
// {1} is the hotkey, as the options show it.
constexpr char kHotkeyTaken[] = "快捷键 {1} 无法使用，可能已被其他程序占用。可以在“选项”中换一个，或清空它。";
// {1} is the new list's path, {2} the reason.
constexpr char kListNotCopied[] = "无法把纪念日文件复制到新的位置，纪念日文件位置没有更改：\r\n{1}\r\n\r\n原因：{2}";
constexpr char kAskReenableAutostart[] = "开机时自动启动已在任务管理器的“启动”页中禁用。\r\n\r\n要重新启用吗？";
constexpr char kAutostartNotReenabled[] = "无法重新启用开机时自动启动：任务管理器中的禁用未能取消。";
constexpr char kAutostartNotSet[] = "无法设置开机时自动启动：写入注册表后读回的值不对，可能被安全软件阻止了。";
constexpr char kAutostartNotCleared[] = "无法取消开机时自动启动：注册表中的启动项未能删除，可能被安全软件阻止了。";

// --- The calendar export; {1} is the system's error code, or the file's path and {2} that code ---
constexpr char kSaveAsFailed[] = "无法打开“另存为”对话框（错误代码 {1}）。";
constexpr char kCalendarNotWritten[] =
    "无法写入日历文件：\r\n{1}\r\n\r\n请检查文件夹是否存在、是否可写，文件是否只读或被其他程序占用（错误代码 {2}）。";
