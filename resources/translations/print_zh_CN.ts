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
    <message>
        <source>These names do not fit their keys and are cut on the sheet (framed in red in the preview): %1. Shorten them or choose a smaller font in Print setup.</source>
        <translation>以下商品名称超出按键，打印时会被截断（预览中用红框标出）：%1。请缩短名称，或在“打印设置”中选择较小的字体。</translation>
    </message>
</context>
</TS>
