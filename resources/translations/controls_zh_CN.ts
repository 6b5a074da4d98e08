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
<context>
    <name>TextFieldGuard</name>
    <message>
        <location filename="../../controls/TextFieldGuard.cpp" line="25"/>
        <source>This text cannot be stored: only GBK text is kept (no emoji or other symbols outside GBK).</source>
        <translation>无法保存此文字：只能使用 GBK 字符（不支持表情符号等 GBK 以外的字符）。</translation>
    </message>
    <message>
        <location filename="../../controls/TextFieldGuard.cpp" line="32"/>
        <source>This box holds one line of text.</source>
        <translation>此处只能输入一行文字。</translation>
    </message>
    <message>
        <location filename="../../controls/TextFieldGuard.cpp" line="36"/>
        <source>This box takes no control characters.</source>
        <translation>此处不能输入控制字符。</translation>
    </message>
</context>
</TS>
