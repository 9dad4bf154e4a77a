// SPDX-FileCopyrightText: 2026 NxSerialFilter developers
// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// The demo host's own texts in their simplified Chinese source form, shown through the
// component's language look-up (Language::text) as the component's own are: the translations
// sit beside the component's in translations/. A key must be kept byte for byte.
namespace NxSerialFilter::Demo::Texts {

#define NXSF_DEMO_TEXT(name, text)                                                                 \
    inline QString name()                                                                          \
    {                                                                                              \
        return QStringLiteral(text);                                                               \
    }

NXSF_DEMO_TEXT(windowTitle, "序列号过滤演示")
NXSF_DEMO_TEXT(serialTab, "序列号列表")
NXSF_DEMO_TEXT(itemsTab, "物料列表")
NXSF_DEMO_TEXT(menuFilter, "过滤(&F)")
NXSF_DEMO_TEXT(actionFilter, "过滤…")
NXSF_DEMO_TEXT(actionClear, "清除过滤")
NXSF_DEMO_TEXT(actionQuit, "退出")
NXSF_DEMO_TEXT(menuLanguage, "语言(&L)")
NXSF_DEMO_TEXT(chinese, "中文")
NXSF_DEMO_TEXT(english, "English")
NXSF_DEMO_TEXT(menuHelp, "帮助(&H)")
NXSF_DEMO_TEXT(actionHelp, "帮助")
NXSF_DEMO_TEXT(condition, "条件：")
NXSF_DEMO_TEXT(allRecords, "（全部记录）")
NXSF_DEMO_TEXT(recordCount, "记录数：")
NXSF_DEMO_TEXT(queryTime, "查询用时（毫秒）：")
NXSF_DEMO_TEXT(queryFailed, "查询失败：")
NXSF_DEMO_TEXT(databaseFailed, "不能准备示例数据库：")
NXSF_DEMO_TEXT(lookupTitle, "查找")
NXSF_DEMO_TEXT(lookupSearch, "查找：")
NXSF_DEMO_TEXT(lookupNumber, "代码")
NXSF_DEMO_TEXT(lookupName, "名称")
NXSF_DEMO_TEXT(lookupFullName, "全名")
NXSF_DEMO_TEXT(generating, "正在生成示例数据库，已写入记录：")
// Field captions of the demo's records; the host's column headers show them translated.
NXSF_DEMO_TEXT(fieldSerialNumber, "序列号")
NXSF_DEMO_TEXT(fieldItem, "物料")
NXSF_DEMO_TEXT(fieldWarehouse, "仓库")
NXSF_DEMO_TEXT(fieldGrade, "等级")
NXSF_DEMO_TEXT(fieldInDate, "入库日期")
NXSF_DEMO_TEXT(fieldBillNumber, "单据编号")
NXSF_DEMO_TEXT(fieldBillId, "单据内码")
NXSF_DEMO_TEXT(fieldCreateDate, "建档日期")
// The component leaves a field of this caption out of its list, as the host suite expects.
NXSF_DEMO_TEXT(fieldStatus, "状态")
NXSF_DEMO_TEXT(fieldValid, "有效")
NXSF_DEMO_TEXT(fieldSerialId, "序列号内码")
NXSF_DEMO_TEXT(fieldQuantity, "数量")
NXSF_DEMO_TEXT(fieldColour, "颜色")
NXSF_DEMO_TEXT(fieldWarranty, "保修截止")
NXSF_DEMO_TEXT(fieldNote, "备注")
NXSF_DEMO_TEXT(fieldBatch, "批号")
NXSF_DEMO_TEXT(fieldModel, "规格型号")
NXSF_DEMO_TEXT(fieldClass, "类别")
NXSF_DEMO_TEXT(fieldPrice, "单价")
NXSF_DEMO_TEXT(fieldSafetyStock, "安全库存")
NXSF_DEMO_TEXT(ok, "确定(&O)")
NXSF_DEMO_TEXT(cancel, "取消(&C)")

#undef NXSF_DEMO_TEXT

} // namespace NxSerialFilter::Demo::Texts
