<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>NxINDUSTRY</name>
    <message>
        <source>青梧提示</source>
        <translation>Qingwu Notice</translation>
    </message>
    <message>
        <source>缺少序列号描述数据</source>
        <translation>The serial number description data is missing.</translation>
    </message>
    <message>
        <source>序列号列数据过滤字段异常！</source>
        <translation>The filter field of the serial number data is invalid!</translation>
    </message>
    <message>
        <source>序列号列数据类型异常。</source>
        <translation>The data type of the serial number field is invalid.</translation>
    </message>
    <message>
        <source>左、右括号不匹配，请改正后继续。</source>
        <translation>The opening and closing parentheses do not match. Please correct them and continue.</translation>
    </message>
    <message>
        <source>括号栏只能填写括号，请改正后继续。</source>
        <translation>The parenthesis columns may hold parentheses only. Please correct them and continue.</translation>
    </message>
    <message>
        <source>不能正确装载过滤方案，可能此方案不能在这里使用，或者是方案已损坏。</source>
        <translation>The saved filter could not be loaded. It may not be usable here, or it is damaged.</translation>
    </message>
    <message>
        <source>请输入过滤方案名称。</source>
        <translation>Please enter a name for the filter.</translation>
    </message>
    <message>
        <source>过滤方案名称重复，是否覆盖原有方案？</source>
        <translation>A saved filter with this name already exists. Overwrite it?</translation>
    </message>
    <message>
        <source>是否删除过滤方案？</source>
        <translation>Delete the saved filter?</translation>
    </message>
    <message>
        <source>已有同名的过滤方案，请换一个名称。</source>
        <translation>A filter of this name already exists. Please choose another name.</translation>
    </message>
    <message>
        <source>无法创建部件：</source>
        <translation>Cannot create the component: </translation>
    </message>
    <message>
        <source>部件不支持所需的接口：</source>
        <translation>The component does not support the required interface: </translation>
    </message>
    <message>
        <source>对象未设置：</source>
        <translation>Object not set: </translation>
    </message>
    <message>
        <source>类型不匹配：对象不能转换为文本</source>
        <translation>Type mismatch: the object cannot be converted to text</translation>
    </message>
    <message>
        <source>下标越界：</source>
        <translation>Subscript out of range: </translation>
    </message>
    <message>
        <source>没有可用的查找窗口部件（OrvGLView.GLView），无法查看。</source>
        <translation>No look-up window component (OrvGLView.GLView) is available, so values cannot be looked up.</translation>
    </message>
    <message>
        <source>第</source>
        <translation>Row </translation>
    </message>
    <message>
        <source>行：</source>
        <translation>: </translation>
    </message>
    <message>
        <source>没有选择逻辑</source>
        <translation>no logic word is chosen</translation>
    </message>
    <message>
        <source>没有选择比较方式</source>
        <translation>no comparison is chosen</translation>
    </message>
    <message>
        <source>字段没有对应的字段标识</source>
        <translation>the field has no field identifier</translation>
    </message>
    <message>
        <source>字段列表中没有这一项</source>
        <translation>the field is not in the field list</translation>
    </message>
    <message>
        <source>过滤方案太长，最多允许的字符数：</source>
        <translation>The filter scheme is too long; characters allowed at most: </translation>
    </message>
    <message>
        <source>过滤方案行数太多，最多允许的行数：</source>
        <translation>The filter scheme has too many rows; rows allowed at most: </translation>
    </message>
    <message>
        <source>单元格内容太长，最多允许的字符数：</source>
        <translation>A cell holds too much; characters allowed at most: </translation>
    </message>
    <message>
        <source>字段描述太大，最多允许的字节数：</source>
        <translation>The field description is too large; bytes allowed at most: </translation>
    </message>
    <message>
        <source>不是有效的日期，请按年-月-日填写，例如2024-03-05</source>
        <translation>not a valid date; enter it as year-month-day, for example 2024-03-05</translation>
    </message>
    <message>
        <source>“%1”不是有效的日期，单元格仍是原来的%2</source>
        <translation>“%1” is not a valid date; the cell keeps %2</translation>
    </message>
    <message>
        <source>字段的列名不是可用的列名或列表达式</source>
        <translation>the field&apos;s column name is not a usable column name or column expression</translation>
    </message>
    <message>
        <source>条件超过500行，数据库无法执行，请减少条件</source>
        <translation>the condition has more than 500 rows, which databases cannot run; use fewer rows</translation>
    </message>
    <message>
        <source>括号嵌套超过16层，数据库无法执行，请减少括号</source>
        <translation>parentheses are nested more than 16 deep, which databases cannot run; use fewer</translation>
    </message>
    <message>
        <source>没有选择字段，但下面还有条件；请选择字段或删除这一行</source>
        <translation>no field is chosen, but conditions follow below; choose a field or delete this row</translation>
    </message>
    <message>
        <source>(无)</source>
        <translation>(None)</translation>
    </message>
    <message>
        <source>(新方案)</source>
        <translation>(New filter)</translation>
    </message>
    <message>
        <source>方案名称</source>
        <translation>Filter name</translation>
    </message>
    <message>
        <source>方案所有者：</source>
        <translation>Owner: </translation>
    </message>
    <message>
        <source>（共享）</source>
        <translation> (shared)</translation>
    </message>
    <message>
        <source>共享方案</source>
        <translation>Share</translation>
    </message>
    <message>
        <source>取消共享</source>
        <translation>Stop sharing</translation>
    </message>
    <message>
        <source>设为默认方案</source>
        <translation>Set as default filter</translation>
    </message>
    <message>
        <source>默认方案</source>
        <translation>Default filter</translation>
    </message>
    <message>
        <source>%1（默认方案）</source>
        <translation>%1 (default)</translation>
    </message>
    <message>
        <source>按F7键可查看---</source>
        <translation>: press F7 to look up</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>并且</source>
        <translation>And</translation>
    </message>
    <message>
        <source>或者</source>
        <translation>Or</translation>
    </message>
    <message>
        <source>等于</source>
        <translation>Equal to</translation>
    </message>
    <message>
        <source>大于</source>
        <translation>Greater than</translation>
    </message>
    <message>
        <source>小于</source>
        <translation>Less than</translation>
    </message>
    <message>
        <source>小于或等于</source>
        <translation>Less than or equal to</translation>
    </message>
    <message>
        <source>大于或等于</source>
        <translation>Greater than or equal to</translation>
    </message>
    <message>
        <source>不等于</source>
        <translation>Not equal to</translation>
    </message>
    <message>
        <source>包含</source>
        <translation>Contains</translation>
    </message>
    <message>
        <source>不包含</source>
        <translation>Does not contain</translation>
    </message>
    <message>
        <source>为空</source>
        <translation>Is empty</translation>
    </message>
    <message>
        <source>不为空</source>
        <translation>Is not empty</translation>
    </message>
    <message>
        <source>包括</source>
        <translation>In</translation>
    </message>
    <message>
        <source>不包括</source>
        <translation>Not in</translation>
    </message>
    <message>
        <source>今天</source>
        <translation>today</translation>
    </message>
    <message>
        <source>昨天</source>
        <translation>yesterday</translation>
    </message>
    <message>
        <source>本周</source>
        <translation>this week</translation>
    </message>
    <message>
        <source>上周</source>
        <translation>last week</translation>
    </message>
    <message>
        <source>本月</source>
        <translation>this month</translation>
    </message>
    <message>
        <source>上月</source>
        <translation>last month</translation>
    </message>
    <message>
        <source>本季度</source>
        <translation>this quarter</translation>
    </message>
    <message>
        <source>上季度</source>
        <translation>last quarter</translation>
    </message>
    <message>
        <source>本年</source>
        <translation>this year</translation>
    </message>
    <message>
        <source>上年</source>
        <translation>last year</translation>
    </message>
    <message>
        <source>过去%1天</source>
        <translation>last %1 days</translation>
    </message>
    <message>
        <source>未来%1天</source>
        <translation>next %1 days</translation>
    </message>
    <message>
        <source>%1 个值，去除重复 %2 个</source>
        <translation>%1 values, %2 repeats dropped</translation>
    </message>
    <message>
        <source>1 个值，去除重复 %1 个</source>
        <translation>1 value, %1 repeats dropped</translation>
    </message>
    <message>
        <source>%1 个值，去除重复 1 个</source>
        <translation>%1 values, 1 repeat dropped</translation>
    </message>
    <message>
        <source>1 个值，去除重复 1 个</source>
        <translation>1 value, 1 repeat dropped</translation>
    </message>
    <message>
        <source>……共 %1 个值</source>
        <translation>… %1 values in all</translation>
    </message>
    <message>
        <source>粘贴数值</source>
        <translation>Paste Values</translation>
    </message>
    <message>
        <source>每行一个值；逗号、分号和制表符也分隔数值：</source>
        <translation>One value per line; commas, semicolons and tabs separate values too:</translation>
    </message>
    <message>
        <source>查找中没有下列 %1 个值：</source>
        <translation>The look-up does not hold these %1 values:</translation>
    </message>
    <message>
        <source>查找中没有下列值：</source>
        <translation>The look-up does not hold this value:</translation>
    </message>
    <message>
        <source>仍要使用这个值吗？</source>
        <translation>Use it all the same?</translation>
    </message>
    <message>
        <source>仍要使用这些值吗？</source>
        <translation>Use them all the same?</translation>
    </message>
    <message>
        <source>相对日期</source>
        <translation>Relative dates</translation>
    </message>
    <message>
        <source>“%1”不是日期，也不是能识别的相对日期</source>
        <translation>“%1” is neither a date nor a relative date this version knows</translation>
    </message>
    <message>
        <source>“%1”所指的日期超出了日历的范围（1年至9999年）</source>
        <translation>“%1” means days outside the calendar (the years 1 to 9999)</translation>
    </message>
    <message>
        <source>「%1」</source>
        <translation>&quot;%1&quot;</translation>
    </message>
    <message>
        <source>？</source>
        <translation>?</translation>
    </message>
    <message>
        <source>第%1个字符：%2</source>
        <translation>Character %1: %2</translation>
    </message>
    <message>
        <source>这里需要字段，例如 %1</source>
        <translation>a field is needed here, for example %1</translation>
    </message>
    <message>
        <source>这里需要比较方式，例如 %1</source>
        <translation>a comparison is needed here, for example %1</translation>
    </message>
    <message>
        <source>这里需要逻辑词，例如 %1</source>
        <translation>a logic word is needed here, for example %1</translation>
    </message>
    <message>
        <source>这里需要数值</source>
        <translation>a value is needed here</translation>
    </message>
    <message>
        <source>“%1”不是这个字段可用的数值</source>
        <translation>“%1” is not a value this field takes</translation>
    </message>
    <message>
        <source>这里开始的引号没有结束</source>
        <translation>the quote that begins here does not end</translation>
    </message>
    <message>
        <source>字段【%1】</source>
        <translation>field [%1]</translation>
    </message>
    <message>
        <source>【%1】</source>
        <translation>[%1]</translation>
    </message>
    <message>
        <source>与字段比较</source>
        <translation>Compare with a field</translation>
    </message>
    <message>
        <source>包含、不包含、为空、不为空和值列表不能与字段比较</source>
        <translation>Contains, Does not contain, Is empty, Is not empty and the value lists cannot compare with a field</translation>
    </message>
    <message>
        <source>比较的字段“%1”不在字段列表中，或不是同一类的字段</source>
        <translation>The field compared with, “%1”, is not in the field list or holds another kind of value</translation>
    </message>
    <message>
        <source>当前用户</source>
        <translation>current user</translation>
    </message>
    <message>
        <source>没有设置当前用户，不能使用“当前用户”</source>
        <translation>no current user is set, so “current user” cannot be used</translation>
    </message>
    <message>
        <source>数值用语</source>
        <translation>Value words</translation>
    </message>
    <message>
        <source>过滤条件</source>
        <translation>Filter Conditions</translation>
    </message>
    <message>
        <source>保存方案</source>
        <translation>Save filter</translation>
    </message>
    <message>
        <source>删除方案</source>
        <translation>Delete filter</translation>
    </message>
    <message>
        <source>另存方案</source>
        <translation>Save filter as</translation>
    </message>
    <message>
        <source>查看</source>
        <translation>View</translation>
    </message>
    <message>
        <source>大图标</source>
        <translation>Large icons</translation>
    </message>
    <message>
        <source>小图标</source>
        <translation>Small icons</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>List</translation>
    </message>
    <message>
        <source>详细资料</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>方案：</source>
        <translation>Filters:</translation>
    </message>
    <message>
        <source>过滤</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>逻辑</source>
        <translation>Logic</translation>
    </message>
    <message>
        <source>字段</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>比较</source>
        <translation>Compare</translation>
    </message>
    <message>
        <source>数值</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>比较值代码</source>
        <translation>Value code</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>符合条件的记录：</source>
        <translation>Matching records: </translation>
    </message>
    <message>
        <source>正在计数…</source>
        <translation>Counting…</translation>
    </message>
    <message>
        <source>无法计数</source>
        <translation>Cannot count</translation>
    </message>
    <message>
        <source>约 %1</source>
        <translation>about %1</translation>
    </message>
    <message>
        <source>超过 %1</source>
        <translation>more than %1</translation>
    </message>
    <message>
        <source>已保存方案：</source>
        <translation>Filter saved: </translation>
    </message>
    <message>
        <source>条件已修改，尚未保存。是否先保存再选取其他方案？</source>
        <translation>The condition has changed and is not saved. Save it before picking another filter?</translation>
    </message>
    <message>
        <source>正在使用的条件不是已保存的方案。是否先保存再选取其他方案？</source>
        <translation>The condition in use is not a saved filter. Save it before picking another filter?</translation>
    </message>
    <message>
        <source>保存(&amp;S)</source>
        <translation>&amp;Save</translation>
    </message>
    <message>
        <source>不保存(&amp;D)</source>
        <translation>&amp;Discard</translation>
    </message>
    <message>
        <source>返回修改(&amp;R)</source>
        <translation>S&amp;tay</translation>
    </message>
    <message>
        <source>撤销(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>重做(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>复制行(&amp;C)</source>
        <translation>&amp;Copy rows</translation>
    </message>
    <message>
        <source>粘贴行(&amp;P)</source>
        <translation>&amp;Paste rows</translation>
    </message>
    <message>
        <source>插入行(&amp;I)</source>
        <translation>&amp;Insert row</translation>
    </message>
    <message>
        <source>删除行(&amp;D)</source>
        <translation>&amp;Delete row</translation>
    </message>
    <message>
        <source>上移行(&amp;V)</source>
        <translation>Mo&amp;ve row up</translation>
    </message>
    <message>
        <source>下移行(&amp;W)</source>
        <translation>Move row do&amp;wn</translation>
    </message>
    <message>
        <source>剪贴板中没有本窗口可用的条件行，未粘贴。</source>
        <translation>The clipboard holds no condition rows this dialog can use; nothing was pasted.</translation>
    </message>
    <message>
        <source>第%1行 %2：%3</source>
        <translation>Row %1 %2: %3</translation>
    </message>
    <message>
        <source>第%1行 %2</source>
        <translation>Row %1 %2</translation>
    </message>
    <message>
        <source>日历</source>
        <translation>Calendar</translation>
    </message>
    <message>
        <source>提示：%1</source>
        <translation>Hint: %1</translation>
    </message>
    <message>
        <source>过滤条件表格</source>
        <translation>Filter conditions</translation>
    </message>
    <message>
        <source>每行一个条件。Tab 移到下一格，F7 查看数值或打开日历，Ctrl+Tab 离开表格。</source>
        <translation>One condition per row. Tab moves to the next cell, F7 looks up a value or opens the calendar, Ctrl+Tab leaves the grid.</translation>
    </message>
    <message>
        <source>过滤方案列表</source>
        <translation>Saved filters</translation>
    </message>
    <message>
        <source>选取方案即把它装入条件表格。F2 重命名，Delete 删除。</source>
        <translation>Picking a filter loads it into the grid. F2 renames it, Delete deletes it.</translation>
    </message>
    <message>
        <source>方案工具栏</source>
        <translation>Filter toolbar</translation>
    </message>
    <message>
        <source>保存、删除、另存方案和切换列表的显示方式。</source>
        <translation>Saves, deletes and saves filters as, and changes how the list is shown.</translation>
    </message>
    <message>
        <source>把条件保存到当前方案（Ctrl+S）。</source>
        <translation>Saves the conditions into the current filter (Ctrl+S).</translation>
    </message>
    <message>
        <source>删除当前方案。</source>
        <translation>Deletes the current filter.</translation>
    </message>
    <message>
        <source>以新名称保存条件（Ctrl+Shift+S）。</source>
        <translation>Saves the conditions under a new name (Ctrl+Shift+S).</translation>
    </message>
    <message>
        <source>切换方案列表的显示方式。</source>
        <translation>Changes how the filter list is shown.</translation>
    </message>
    <message>
        <source>按这些条件过滤并关闭对话框。</source>
        <translation>Filters by these conditions and closes the dialog.</translation>
    </message>
    <message>
        <source>不改变过滤，关闭对话框。</source>
        <translation>Closes the dialog without changing the filter.</translation>
    </message>
    <message>
        <source>提示</source>
        <translation>Hint</translation>
    </message>
    <message>
        <source>当前单元格的提示和保存的确认。</source>
        <translation>Hints for the current cell and confirmations of saves.</translation>
    </message>
    <message>
        <source>条件改变后更新的符合条件的记录数。</source>
        <translation>The number of matching records, updated as the conditions change.</translation>
    </message>
    <message>
        <source>过滤条件页。</source>
        <translation>The filter conditions page.</translation>
    </message>
    <message>
        <source>调整对话框大小</source>
        <translation>Resize the dialog</translation>
    </message>
    <message>
        <source>拖动可放大或缩小对话框。</source>
        <translation>Drag to make the dialog larger or smaller.</translation>
    </message>
    <message>
        <source>过滤方案名称</source>
        <translation>Filter Name</translation>
    </message>
    <message>
        <source>取消(&amp;E)</source>
        <translation>Canc&amp;el</translation>
    </message>
    <message>
        <source>请输入方案名称(不超过20个字符，并且不能包括单引号)：</source>
        <translation>Enter the filter name (at most 20 characters, no single quotes):</translation>
    </message>
    <message>
        <source>记录集已关闭。</source>
        <translation>The record set is closed.</translation>
    </message>
    <message>
        <source>记录集中没有此字段：</source>
        <translation>The record set has no such field: </translation>
    </message>
    <message>
        <source>记录集没有当前记录。</source>
        <translation>The record set has no current record.</translation>
    </message>
    <message>
        <source>不能打开过滤方案库：</source>
        <translation>Cannot open the saved filters: </translation>
    </message>
    <message>
        <source>不能读取过滤方案库：</source>
        <translation>Cannot read the saved filters: </translation>
    </message>
    <message>
        <source>不能写入过滤方案库：</source>
        <translation>Cannot write the saved filters: </translation>
    </message>
    <message>
        <source>过滤方案库地址无效：</source>
        <translation>The address of the saved filters is invalid: </translation>
    </message>
    <message>
        <source>这个过滤方案库不区分用户，所有方案都是共享的：</source>
        <translation>This store of saved filters keeps no owners; every filter in it is shared: </translation>
    </message>
    <message>
        <source>这个过滤方案库不能保存默认方案：</source>
        <translation>This store of saved filters cannot keep a default filter: </translation>
    </message>
    <message>
        <source>过滤方案库的表不是方案库自己的，不能使用：</source>
        <translation>The table of the saved filters is not the store's own and is not used: </translation>
    </message>
    <message>
        <source>过滤方案库有一次中断的写入尚未撤销，只读方式不能读取；可写入它的用户打开一次即可恢复：</source>
        <translation>The store of saved filters holds an interrupted write that has not been rolled back, so it cannot be read read-only; it recovers when a user who may write it opens it once: </translation>
    </message>
    <message>
        <source>没有这个过滤方案：</source>
        <translation>There is no such saved filter: </translation>
    </message>
    <message>
        <source>有几个用户共享了这个名称的过滤方案，不能确定用哪一个：</source>
        <translation>Several users share a saved filter of this name; it is not clear which one is meant: </translation>
    </message>
    <message>
        <source>过滤方案名称不能保存（不能为空，两端不能有空格，不能包括单引号或控制字符，不超过256个字符）：</source>
        <translation>This filter name cannot be saved (not empty, no spaces at its ends, no single quote or control character, at most 256 characters): </translation>
    </message>
    <message>
        <source>过滤方案的屏幕标识不能保存：</source>
        <translation>This screen id cannot be saved with a filter: </translation>
    </message>
    <message>
        <source>过滤方案太大，没有读取：</source>
        <translation>Saved filter too large, not read: </translation>
    </message>
    <message>
        <source>过滤方案编号超出范围，没有读取：</source>
        <translation>Saved filter id out of range, not read: </translation>
    </message>
    <message>
        <source>序列号过滤演示</source>
        <translation>Serial Number Filter Demo</translation>
    </message>
    <message>
        <source>序列号列表</source>
        <translation>Serial numbers</translation>
    </message>
    <message>
        <source>物料列表</source>
        <translation>Items</translation>
    </message>
    <message>
        <source>过滤(&amp;F)</source>
        <translation>&amp;Filter</translation>
    </message>
    <message>
        <source>过滤…</source>
        <translation>Filter…</translation>
    </message>
    <message>
        <source>清除过滤</source>
        <translation>Clear filter</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>语言(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>中文</source>
        <translation>中文</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>条件：</source>
        <translation>Condition: </translation>
    </message>
    <message>
        <source>（全部记录）</source>
        <translation>(all records)</translation>
    </message>
    <message>
        <source>记录数：</source>
        <translation>Records: </translation>
    </message>
    <message>
        <source>查询用时（毫秒）：</source>
        <translation>Query time (ms): </translation>
    </message>
    <message>
        <source>查询失败：</source>
        <translation>Query failed: </translation>
    </message>
    <message>
        <source>不能准备示例数据库：</source>
        <translation>Cannot prepare the sample database: </translation>
    </message>
    <message>
        <source>查找</source>
        <translation>Look Up</translation>
    </message>
    <message>
        <source>查找：</source>
        <translation>Find: </translation>
    </message>
    <message>
        <source>代码</source>
        <translation>Code</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>全名</source>
        <translation>Full name</translation>
    </message>
    <message>
        <source>正在生成示例数据库，已写入记录：</source>
        <translation>Generating the sample database, records written: </translation>
    </message>
    <message>
        <source>序列号</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>物料</source>
        <translation>Item</translation>
    </message>
    <message>
        <source>仓库</source>
        <translation>Warehouse</translation>
    </message>
    <message>
        <source>等级</source>
        <translation>Grade</translation>
    </message>
    <message>
        <source>入库日期</source>
        <translation>Date received</translation>
    </message>
    <message>
        <source>单据编号</source>
        <translation>Document number</translation>
    </message>
    <message>
        <source>单据内码</source>
        <translation>Document ID</translation>
    </message>
    <message>
        <source>建档日期</source>
        <translation>Date created</translation>
    </message>
    <message>
        <source>有效</source>
        <translation>Valid</translation>
    </message>
    <message>
        <source>序列号内码</source>
        <translation>Serial ID</translation>
    </message>
    <message>
        <source>数量</source>
        <translation>Quantity</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>保修截止</source>
        <translation>Warranty until</translation>
    </message>
    <message>
        <source>备注</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>批号</source>
        <translation>Batch number</translation>
    </message>
    <message>
        <source>规格型号</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>类别</source>
        <translation>Class</translation>
    </message>
    <message>
        <source>单价</source>
        <translation>Unit price</translation>
    </message>
    <message>
        <source>安全库存</source>
        <translation>Safety stock</translation>
    </message>
    <message>
        <source>停用此行后左、右括号不再匹配，请改正后继续。</source>
        <translation>With this row switched off, the left and right parentheses no longer match. Correct them to continue.</translation>
    </message>
    <message>
        <source>运行时输入的“%1”没有回答</source>
        <translation>The value asked when run, “%1”, has no answer</translation>
    </message>
    <message>
        <source>「%1？」</source>
        <translation>[%1?]</translation>
    </message>
    <message>
        <source>停用此行</source>
        <translation>Switch row off</translation>
    </message>
    <message>
        <source>启用此行</source>
        <translation>Switch row on</translation>
    </message>
    <message>
        <source>运行时输入</source>
        <translation>Ask when run</translation>
    </message>
    <message>
        <source>%1（已停用）</source>
        <translation>%1 (switched off)</translation>
    </message>
    <message>
        <source>本次过滤的数值</source>
        <translation>Values for this filter</translation>
    </message>
    <message>
        <source>请输入本次过滤使用的数值：</source>
        <translation>Enter the values this filter uses:</translation>
    </message>
</context>
</TS>
