<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>StatusLamp</name>
    <message>
        <location filename="../../controls/StatusLamp.cpp" line="43"/>
        <location filename="../../controls/StatusLamp.cpp" line="52"/>
        <location filename="../../controls/StatusLamp.cpp" line="70"/>
        <source>Instable</source>
        <translation>不稳定</translation>
    </message>
    <message>
        <location filename="../../controls/StatusLamp.cpp" line="45"/>
        <location filename="../../controls/StatusLamp.cpp" line="52"/>
        <location filename="../../controls/StatusLamp.cpp" line="70"/>
        <source>Stable</source>
        <translation>稳定</translation>
    </message>
</context>
</TS>
