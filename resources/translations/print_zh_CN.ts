<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>KeyboardSheetRenderer</name>
    <message>
        <location filename="../../print/KeyboardSheetRenderer.cpp" line="27"/>
        <source>The keyboard layout file does not exist</source>
        <translation>键盘布局文件不存在</translation>
    </message>
    <message>
        <location filename="../../print/KeyboardSheetRenderer.cpp" line="28"/>
        <source>The paper is too small,Please re select paper or rotate printing</source>
        <translation>当前纸张太小,请重新选择纸张或旋转打印</translation>
    </message>
</context>
</TS>
