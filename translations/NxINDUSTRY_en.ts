<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>NxINDUSTRY</name>
    <message>
        <source>青梧提示</source>
        <translation>Qingwu</translation>
    </message>
    <message>
        <source>过滤条件</source>
        <translation>Filter Conditions</translation>
    </message>
</context>
</TS>
