// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Every text that the component shows, in its simplified Chinese source form. The source
// text is the look-up key and the fallback, so it must be kept byte for byte.
namespace NxSerialFilter::Texts {

#define NXSF_TEXT(name, text)                                                                      \
    inline QString name()                                                                          \
    {                                                                                              \
        return QStringLiteral(text);                                                               \
    }

// Alerts
NXSF_TEXT(alertTitle, "青梧提示")
NXSF_TEXT(missingSerialDescription, "缺少序列号描述数据")
NXSF_TEXT(unknownSerialField, "序列号列数据过滤字段异常！")
NXSF_TEXT(badSerialDataType, "序列号列数据类型异常。")
NXSF_TEXT(unbalancedParentheses, "左、右括号不匹配，请改正后继续。")
NXSF_TEXT(parenthesisCellsOnly, "括号栏只能填写括号，请改正后继续。")
NXSF_TEXT(schemeLoadFailed, "不能正确装载过滤方案，可能此方案不能在这里使用，或者是方案已损坏。")
NXSF_TEXT(enterSchemeName, "请输入过滤方案名称。")
NXSF_TEXT(overwriteScheme, "过滤方案名称重复，是否覆盖原有方案？")
NXSF_TEXT(deleteScheme, "是否删除过滤方案？")
NXSF_TEXT(schemeNameTaken, "已有同名的过滤方案，请换一个名称。")

// Failure descriptions of the component's own making
NXSF_TEXT(componentMissing, "无法创建部件：")
NXSF_TEXT(componentWrongType, "部件不支持所需的接口：")
NXSF_TEXT(objectNotSet, "对象未设置：")
NXSF_TEXT(notText, "类型不匹配：对象不能转换为文本")
NXSF_TEXT(indexOutOfRange, "下标越界：")
NXSF_TEXT(noLookupWindow, "没有可用的查找窗口部件（OrvGLView.GLView），无法查看。")
NXSF_TEXT(rowPrefix, "第")
NXSF_TEXT(rowSuffix, "行：")
NXSF_TEXT(noLogicChosen, "没有选择逻辑")
NXSF_TEXT(noCompareChosen, "没有选择比较方式")
NXSF_TEXT(noFieldEntry, "字段没有对应的字段标识")
NXSF_TEXT(noCommonField, "字段列表中没有这一项")
NXSF_TEXT(schemeTextTooLong, "过滤方案太长，最多允许的字符数：")
NXSF_TEXT(schemeTooManyRows, "过滤方案行数太多，最多允许的行数：")
NXSF_TEXT(cellTooLong, "单元格内容太长，最多允许的字符数：")
NXSF_TEXT(descriptionTooLarge, "字段描述太大，最多允许的字节数：")
NXSF_TEXT(impossibleDate, "不是有效的日期，请按年-月-日填写，例如2024-03-05")
NXSF_TEXT(impossibleDateKept, "“%1”不是有效的日期，单元格仍是原来的%2")
NXSF_TEXT(columnRefused, "字段的列名不是可用的列名或列表达式")
NXSF_TEXT(tooManyConditionRows, "条件超过500行，数据库无法执行，请减少条件")
NXSF_TEXT(parenthesesTooDeep, "括号嵌套超过16层，数据库无法执行，请减少括号")
NXSF_TEXT(emptyFieldBeforeRows, "没有选择字段，但下面还有条件；请选择字段或删除这一行")

// Lists and hints
NXSF_TEXT(noField, "(无)")
NXSF_TEXT(newScheme, "(新方案)")
NXSF_TEXT(schemeNameHeader, "方案名称")
NXSF_TEXT(schemeOwnerTip, "方案所有者：")
NXSF_TEXT(schemeSharedTip, "（共享）")
NXSF_TEXT(shareScheme, "共享方案")
NXSF_TEXT(unshareScheme, "取消共享")
NXSF_TEXT(setDefaultScheme, "设为默认方案")
NXSF_TEXT(schemeDefaultTip, "默认方案")
NXSF_TEXT(schemeDefaultName, "%1（默认方案）") // the default scheme's item, read aloud
NXSF_TEXT(lookupHint, "按F7键可查看---")
NXSF_TEXT(stateField, "状态")

// Comparison and logic words as the user sees them
NXSF_TEXT(logicAnd, "并且")
NXSF_TEXT(logicOr, "或者")
NXSF_TEXT(compareEqual, "等于")
NXSF_TEXT(compareGreater, "大于")
NXSF_TEXT(compareLess, "小于")
NXSF_TEXT(compareLessOrEqual, "小于或等于")
NXSF_TEXT(compareGreaterOrEqual, "大于或等于")
NXSF_TEXT(compareNotEqual, "不等于")
NXSF_TEXT(compareContains, "包含")
NXSF_TEXT(compareNotContains, "不包含")
NXSF_TEXT(compareIsEmpty, "为空")
NXSF_TEXT(compareIsNotEmpty, "不为空")
NXSF_TEXT(compareInList, "包括")
NXSF_TEXT(compareNotInList, "不包括")

// Relative dates: a date cell may hold one of these words, "%1" a count of days
NXSF_TEXT(relativeToday, "今天")
NXSF_TEXT(relativeYesterday, "昨天")
NXSF_TEXT(relativeThisWeek, "本周")
NXSF_TEXT(relativeLastWeek, "上周")
NXSF_TEXT(relativeThisMonth, "本月")
NXSF_TEXT(relativeLastMonth, "上月")
NXSF_TEXT(relativeThisQuarter, "本季度")
NXSF_TEXT(relativeLastQuarter, "上季度")
NXSF_TEXT(relativeThisYear, "本年")
NXSF_TEXT(relativeLastYear, "上年")
NXSF_TEXT(relativeLastDays, "过去%1天")
NXSF_TEXT(relativeNextDays, "未来%1天")
// Pasting into a value list: the values taken and the repeats dropped
NXSF_TEXT(pastedValueCount, "%1 个值，去除重复 %2 个")
// ... with one value or one repeat, which other languages say in the singular
NXSF_TEXT(pastedOneValue, "1 个值，去除重复 %1 个")
NXSF_TEXT(pastedOneRepeat, "%1 个值，去除重复 1 个")
NXSF_TEXT(pastedOneValueOneRepeat, "1 个值，去除重复 1 个")
NXSF_TEXT(listValuesInAll, "……共 %1 个值")
NXSF_TEXT(pasteValuesTitle, "粘贴数值")
NXSF_TEXT(pasteValuesPrompt, "每行一个值；逗号、分号和制表符也分隔数值：")
NXSF_TEXT(unknownLookupValues, "查找中没有下列 %1 个值：")
NXSF_TEXT(useValuesAnyway, "仍要使用这些值吗？")
// ... of one value, which other languages say in the singular
NXSF_TEXT(unknownLookupValue, "查找中没有下列值：")
NXSF_TEXT(useValueAnyway, "仍要使用这个值吗？")
NXSF_TEXT(relativeDates, "相对日期")
// A stored date that is neither a date nor a relative date this build knows, "%1" the text
NXSF_TEXT(unknownDateWord, "“%1”不是日期，也不是能识别的相对日期")
// A relative date whose days fall outside the years 1 to 9999 on the day of composing
NXSF_TEXT(dateOutOfCalendar, "“%1”所指的日期超出了日历的范围（1年至9999年）")
// A row switched off whose parentheses paired with rows still in the condition
NXSF_TEXT(offRowUnbalances, "停用此行后左、右括号不再匹配，请改正后继续。")
// A question asked when the condition runs that got no answer, "%1" the question
NXSF_TEXT(unansweredQuestion, "运行时输入的“%1”没有回答")
// A value asked when the condition runs, as the grid and the words show it; "%1" the question
NXSF_TEXT(askedValue, "「%1？」")
// A value that is another field: the value word for it, the grid's cell, the context menu
NXSF_TEXT(fieldValue, "字段【%1】")
NXSF_TEXT(fieldValueCell, "【%1】")
NXSF_TEXT(compareWithField, "与字段比较")
NXSF_TEXT(fieldNotComparable, "包含、不包含、为空、不为空和值列表不能与字段比较")
// "%1" the caption of the field compared with
NXSF_TEXT(otherFieldUnusable, "比较的字段“%1”不在字段列表中，或不是同一类的字段")
// The value word for whoever runs the condition, and the refusal when the host named no one
NXSF_TEXT(currentUser, "当前用户")
// The words of a condition as typed: a value quoted, "%1" the value with its closing quote
// doubled; the mark of a value asked when the condition runs
NXSF_TEXT(quotedValue, "「%1」")
NXSF_TEXT(askedMark, "？")
// Where a typed condition could not be read: "%1" the character's number, "%2" what follows
NXSF_TEXT(textAtCharacter, "第%1个字符：%2")
// "%1" an example of what is needed
NXSF_TEXT(textWantsField, "这里需要字段，例如 %1")
NXSF_TEXT(textWantsCompare, "这里需要比较方式，例如 %1")
NXSF_TEXT(textWantsLogic, "这里需要逻辑词，例如 %1")
NXSF_TEXT(textWantsValue, "这里需要数值")
// "%1" the word that is no value of the row's field
NXSF_TEXT(textBadValue, "“%1”不是这个字段可用的数值")
NXSF_TEXT(textQuoteOpen, "这里开始的引号没有结束")
NXSF_TEXT(noCurrentUser, "没有设置当前用户，不能使用“当前用户”")
NXSF_TEXT(valueWords, "数值用语")

// Filter dialog
NXSF_TEXT(filterCaption, "过滤条件")
NXSF_TEXT(toolSave, "保存方案")
NXSF_TEXT(toolDelete, "删除方案")
NXSF_TEXT(toolSaveAs, "另存方案")
NXSF_TEXT(toolView, "查看")
NXSF_TEXT(viewBigIcon, "大图标")
NXSF_TEXT(viewSmallIcon, "小图标")
NXSF_TEXT(viewReport, "列表")
NXSF_TEXT(viewDetail, "详细资料")
NXSF_TEXT(schemePanel, "方案：")
NXSF_TEXT(filterTab, "过滤")
NXSF_TEXT(headerLogic, "逻辑")
NXSF_TEXT(headerField, "字段")
NXSF_TEXT(headerCompare, "比较")
NXSF_TEXT(headerValue, "数值")
NXSF_TEXT(headerValueCode, "比较值代码")
NXSF_TEXT(ok, "确定(&O)")
NXSF_TEXT(cancel, "取消(&C)")
NXSF_TEXT(matchingRecords, "符合条件的记录：")
NXSF_TEXT(counting, "正在计数…")
NXSF_TEXT(cannotCount, "无法计数")
// An estimate of the count until the exact one comes; "%1" the number, grouped in thousands
NXSF_TEXT(aboutCount, "约 %1")
NXSF_TEXT(moreThanCount, "超过 %1")
NXSF_TEXT(schemeSaved, "已保存方案：")
NXSF_TEXT(unsavedChanges, "条件已修改，尚未保存。是否先保存再选取其他方案？")
NXSF_TEXT(unsavedConditionInForce, "正在使用的条件不是已保存的方案。是否先保存再选取其他方案？")
NXSF_TEXT(saveChanges, "保存(&S)")
NXSF_TEXT(discardChanges, "不保存(&D)")
NXSF_TEXT(stayWithChanges, "返回修改(&R)")
// The grid's context menu; the rows travel on the clipboard as scheme text lines
NXSF_TEXT(gridUndo, "撤销(&U)")
NXSF_TEXT(gridRedo, "重做(&R)")
NXSF_TEXT(gridCopyRows, "复制行(&C)")
NXSF_TEXT(gridPasteRows, "粘贴行(&P)")
NXSF_TEXT(gridInsertRow, "插入行(&I)")
NXSF_TEXT(gridDeleteRow, "删除行(&D)")
NXSF_TEXT(gridMoveRowUp, "上移行(&V)")
NXSF_TEXT(gridMoveRowDown, "下移行(&W)")
NXSF_TEXT(gridRowOff, "停用此行")
NXSF_TEXT(gridRowOn, "启用此行")
NXSF_TEXT(gridAskWhenRun, "运行时输入")
NXSF_TEXT(pasteNoRows, "剪贴板中没有本窗口可用的条件行，未粘贴。")

// What a screen reader says about the dialog's controls
NXSF_TEXT(cellName, "第%1行 %2：%3")
// A cell of a row switched off: "%1" what cellName says
NXSF_TEXT(cellOfRowOff, "%1（已停用）")
NXSF_TEXT(editorName, "第%1行 %2")
NXSF_TEXT(a11yCalendar, "日历")
NXSF_TEXT(a11yHintSays, "提示：%1")
NXSF_TEXT(a11yGrid, "过滤条件表格")
NXSF_TEXT(a11yGridHelp, "每行一个条件。Tab 移到下一格，F7 查看数值或打开日历，Ctrl+Tab 离开表格。")
NXSF_TEXT(a11yList, "过滤方案列表")
NXSF_TEXT(a11yListHelp, "选取方案即把它装入条件表格。F2 重命名，Delete 删除。")
NXSF_TEXT(a11yToolbar, "方案工具栏")
NXSF_TEXT(a11yToolbarHelp, "保存、删除、另存方案和切换列表的显示方式。")
NXSF_TEXT(a11ySaveHelp, "把条件保存到当前方案（Ctrl+S）。")
NXSF_TEXT(a11yDeleteHelp, "删除当前方案。")
NXSF_TEXT(a11ySaveAsHelp, "以新名称保存条件（Ctrl+Shift+S）。")
NXSF_TEXT(a11yViewHelp, "切换方案列表的显示方式。")
NXSF_TEXT(a11yOkHelp, "按这些条件过滤并关闭对话框。")
NXSF_TEXT(a11yCancelHelp, "不改变过滤，关闭对话框。")
NXSF_TEXT(a11yHint, "提示")
NXSF_TEXT(a11yHintHelp, "当前单元格的提示和保存的确认。")
NXSF_TEXT(a11yCountHelp, "条件改变后更新的符合条件的记录数。")
NXSF_TEXT(a11yTabHelp, "过滤条件页。")
NXSF_TEXT(a11ySizeGrip, "调整对话框大小")
NXSF_TEXT(a11ySizeGripHelp, "拖动可放大或缩小对话框。")
// The condition text line above the grid
NXSF_TEXT(conditionText, "条件文本")
NXSF_TEXT(a11yConditionTextHelp,
          "输入条件，例如：数量 大于 50 并且 序列号 包含 SN。Ctrl+L 到这里，Tab 到条件表格。")
// Completion's entry that runs the value's look-up
NXSF_TEXT(completeLookup, "查看数值…（F7）")

// The window that asks a condition's questions when it runs
NXSF_TEXT(questionsCaption, "本次过滤的数值")
NXSF_TEXT(questionsPrompt, "请输入本次过滤使用的数值：")

// Scheme name dialog
NXSF_TEXT(nameCaption, "过滤方案名称")
NXSF_TEXT(nameCancel, "取消(&E)")
NXSF_TEXT(namePrompt, "请输入方案名称(不超过20个字符，并且不能包括单引号)：")

// Scheme store
NXSF_TEXT(recordSetClosed, "记录集已关闭。")
NXSF_TEXT(recordSetNoField, "记录集中没有此字段：")
NXSF_TEXT(recordSetNoRecord, "记录集没有当前记录。")
NXSF_TEXT(schemeStoreOpenFailed, "不能打开过滤方案库：")
NXSF_TEXT(schemeStoreReadFailed, "不能读取过滤方案库：")
NXSF_TEXT(schemeStoreWriteFailed, "不能写入过滤方案库：")
NXSF_TEXT(schemeStoreBadAddress, "过滤方案库地址无效：")
NXSF_TEXT(schemeStoreKeepsNoOwners, "这个过滤方案库不区分用户，所有方案都是共享的：")
NXSF_TEXT(schemeStoreKeepsNoDefaults, "这个过滤方案库不能保存默认方案：")
NXSF_TEXT(schemeStoreNotOwn, "过滤方案库的表不是方案库自己的，不能使用：")
NXSF_TEXT(schemeStoreUnfinishedWrite,
          "过滤方案库有一次中断的写入尚未撤销，只读方式不能读取；可写入它的用户打开一次即可恢复：")
NXSF_TEXT(schemeNotFound, "没有这个过滤方案：")
NXSF_TEXT(schemeNameOfSeveral, "有几个用户共享了这个名称的过滤方案，不能确定用哪一个：")
NXSF_TEXT(
    schemeNameNotStorable,
    "过滤方案名称不能保存（不能为空，两端不能有空格，不能包括单引号或控制字符，不超过256个字符）：")
NXSF_TEXT(schemeScreenNotStorable, "过滤方案的屏幕标识不能保存：")
NXSF_TEXT(schemeSkippedTooLarge, "过滤方案太大，没有读取：")
NXSF_TEXT(schemeSkippedBadId, "过滤方案编号超出范围，没有读取：")

#undef NXSF_TEXT

} // namespace NxSerialFilter::Texts
