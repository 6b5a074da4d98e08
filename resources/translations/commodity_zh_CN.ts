<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>EditableListCtrl</name>
    <message>
        <location filename="../../commodity/EditableListCtrl.cpp" line="99"/>
        <source>No.</source>
        <translation>序号</translation>
    </message>
    <message>
        <location filename="../../commodity/EditableListCtrl.cpp" line="101"/>
        <source>Code</source>
        <translation>编码</translation>
    </message>
    <message>
        <location filename="../../commodity/EditableListCtrl.cpp" line="103"/>
        <source>Product Name</source>
        <translation>商品名称</translation>
    </message>
    <message>
        <location filename="../../commodity/EditableListCtrl.cpp" line="105"/>
        <source>Price</source>
        <translation>单价</translation>
    </message>
</context>
<context>
    <name>InPlaceEdit</name>
    <message>
        <location filename="../../commodity/InPlaceEdit.cpp" line="112"/>
        <source>This text cannot be stored: commodity cells keep GBK text only (no emoji or other symbols outside GBK).</source>
        <translation>无法保存此文字：商品资料只能使用 GBK 字符（不支持表情符号等 GBK 以外的字符）。</translation>
    </message>
    <message>
        <location filename="../../commodity/InPlaceEdit.cpp" line="117"/>
        <source>A cell holds one line of text.</source>
        <translation>单元格只能输入一行文字。</translation>
    </message>
    <message>
        <location filename="../../commodity/InPlaceEdit.cpp" line="128"/>
        <source>The price takes digits and one decimal point only.</source>
        <translation>单价只能输入数字和一个小数点。</translation>
    </message>
    <message>
        <location filename="../../commodity/InPlaceEdit.cpp" line="135"/>
        <source>Commas, square brackets and angle brackets cannot be stored in a commodity cell.</source>
        <translation>商品资料中不能使用逗号、方括号和尖括号。</translation>
    </message>
    <message>
        <location filename="../../commodity/InPlaceEdit.cpp" line="85"/>
        <source>A cell takes no control characters.</source>
        <translation>单元格中不能使用控制字符。</translation>
    </message>
    <message>
        <location filename="../../commodity/InPlaceEdit.cpp" line="144"/>
        <source>The code holds at most %1 bytes; a Chinese character counts two.</source>
        <translation>编码最多 %1 个字节，一个汉字占两个字节。</translation>
    </message>
</context>
<context>
    <name>ScaleMainDialog</name>
    <message>
        <location filename="../../dialogs/ScaleMainDialogTable.cpp"/>
        <source>Uploading commodities...</source>
        <translation>正在上传商品资料...</translation>
    </message>
    <message>
        <location filename="../../dialogs/ScaleMainDialogTable.cpp"/>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <location filename="../../dialogs/ScaleMainDialogTable.cpp"/>
        <source>Upload</source>
        <translation>上传</translation>
    </message>
</context>
</TS>
