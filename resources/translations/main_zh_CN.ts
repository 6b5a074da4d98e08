<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
    <context>
        <name>AboutDialog</name>
        <message>
            <location filename="../ui/AboutDialog.ui" line="6" />
            <source>About VELK</source>
            <translation>关于 VELK</translation>
        </message>
        <message>
            <location filename="../ui/AboutDialog.ui" line="19" />
            <source>VELK V2.10</source>
            <translation>VELK 2.10 版</translation>
        </message>
        <message>
            <location filename="../ui/AboutDialog.ui" line="35" />
            <source>Enter</source>
            <translation>确定</translation>
        </message>
    </context>
    <context>
        <name>ImportPreviewDialog</name>
        <message>
            <source>Import commodities</source>
            <translation>导入商品资料</translation>
        </message>
        <message>
            <source>Line</source>
            <translation>行</translation>
        </message>
        <message>
            <source>No.</source>
            <translation>序号</translation>
        </message>
        <message>
            <source>Code</source>
            <translation>编码</translation>
        </message>
        <message>
            <source>Product Name</source>
            <translation>商品名称</translation>
        </message>
        <message>
            <source>Price</source>
            <translation>单价</translation>
        </message>
        <message>
            <source>Problem</source>
            <translation>问题</translation>
        </message>
        <message>
            <source>&amp;Skip the rows with a problem</source>
            <translation>跳过有问题的行(&amp;S)</translation>
        </message>
        <message>
            <source>&amp;Import</source>
            <translation>导入(&amp;I)</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>取消</translation>
        </message>
        <message>
            <source>UTF-8 with byte-order mark</source>
            <translation>带字节顺序标记的 UTF-8</translation>
        </message>
        <message>
            <source>semicolons</source>
            <translation>分号</translation>
        </message>
        <message>
            <source>tabs</source>
            <translation>制表符</translation>
        </message>
        <message>
            <source>commas</source>
            <translation>逗号</translation>
        </message>
        <message>
            <source>with a header row</source>
            <translation>有标题行</translation>
        </message>
        <message>
            <source>no header row</source>
            <translation>无标题行</translation>
        </message>
        <message>
            <source>Importing replaces the whole commodity list of this series.</source>
            <translation>导入将替换本系列的全部商品列表。</translation>
        </message>
        <message>
            <source>The number is not from 1 to 200.</source>
            <translation>序号不在 1 到 200 之间。</translation>
        </message>
        <message>
            <source>%1: %2 cannot be written in GBK.</source>
            <translation>%1:%2 无法用 GBK 表示。</translation>
        </message>
        <message>
            <source>%1: %2 cannot be stored in a cell.</source>
            <translation>%1:%2 不能存入单元格。</translation>
        </message>
        <message>
            <source>The code has %1 bytes; at most 20 (a Chinese character counts two).</source>
            <translation>编码有 %1 字节,最多 20 字节(一个汉字算两个)。</translation>
        </message>
        <message>
            <source>The price is not a number with at most one decimal point.</source>
            <translation>单价不是最多带一个小数点的数字。</translation>
        </message>
        <message>
            <source>More fields than No., Code, Product Name and Price.</source>
            <translation>字段多于序号、编码、商品名称和单价。</translation>
        </message>
        <message>
            <source>Number %1 comes again in line %2; the later row wins.</source>
            <translation>序号 %1 在第 %2 行再次出现,以后面的行为准。</translation>
        </message>
        <message numerus="yes">
            <source>%1: %2, separated by %3, %4. Rows: %n.</source>
            <translation>
                <numerusform>%1:%2,以%3分隔,%4。共 %n 行。</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Rows with a problem: %n. They cannot be imported.</source>
            <translation>
                <numerusform>有问题的行:%n 行,无法导入。</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>&amp;Skip the rows with a problem (%n) and import the others (%1)</source>
            <translation>
                <numerusform>跳过有问题的行(%n 行),导入其余的行(%1 行)(&amp;S)</numerusform>
            </translation>
        </message>
        <message>
            <source>No. must be a whole number from 1 to 200: the scale keeps 200 commodities.</source>
            <translation>序号必须是 1 到 200 之间的整数：电子秤保存 200 种商品。</translation>
        </message>
        <message>
            <source>%1: the scale cannot store %2 (it keeps GBK text only); use another character.</source>
            <translation>%1：电子秤无法保存%2（只能保存 GBK 文字），请换用其他字符。</translation>
        </message>
        <message>
            <source>%1: a comma cannot be part of it; the scale's file separates fields with it.</source>
            <translation>%1：不能包含逗号，电子秤的文件用逗号分隔字段。</translation>
        </message>
        <message>
            <source>%1: %2 cannot be part of it; the scale's upload marks the code with [ ] and the name with &lt; &gt;.</source>
            <translation>%1：不能包含%2，电子秤上传时用 [ ] 标出编码，用 &lt; &gt; 标出名称。</translation>
        </message>
        <message>
            <source>%1: a line break or other control character (%2) cannot be part of it; the scale's file keeps one commodity per line.</source>
            <translation>%1：不能包含换行符或其他控制字符（%2），电子秤的文件每行保存一种商品。</translation>
        </message>
        <message>
            <source>This first line looks like a header, but its captions are not understood: name the columns No., Code, Product Name and Price, or remove the line.</source>
            <translation>第一行像是标题行，但无法识别其中的列名：请把各列命名为 序号、编码、商品名称、单价，或删除这一行。</translation>
        </message>
        <message>
            <source>UTF-16 text is not read; save the sheet as CSV (UTF-8 or GBK).</source>
            <translation>不能读取 UTF-16 文本,请将表格另存为 CSV(UTF-8 或 GBK)。</translation>
        </message>
        <message>
            <source>Its header row names no No. column.</source>
            <translation>其标题行中没有“序号”列。</translation>
        </message>
        <message>
            <source>Read the text as:</source>
            <translation>文本编码:</translation>
        </message>
        <message numerus="yes">
            <source>Spaces around code, name or price are left out in %n row(s), as the commodity file leaves them out.</source>
            <translation>
                <numerusform>%n 行的编码、商品名称或单价两端的空格已去掉,与商品资料文件的做法相同。</numerusform>
            </translation>
        </message>
        <message>
            <source>%1: text after the closing quote.</source>
            <translation>%1:结束引号后还有文字。</translation>
        </message>
        <message>
            <source>No code: the commodity file keeps only rows with a code.</source>
            <translation>没有编码:商品资料文件只保存有编码的行。</translation>
        </message>
        <message>
            <source>Its header row names a column that is not understood: “%1”.</source>
            <translation>其标题行中有无法识别的列:“%1”。</translation>
        </message>
        <message>
            <source>Its header row names “%1” twice.</source>
            <translation>其标题行中“%1”出现了两次。</translation>
        </message>
        <message>
            <source>A quote opens in line %1 and never closes.</source>
            <translation>第 %1 行的引号没有结束。</translation>
        </message>
        <message>
            <source>Line %1 holds bytes that are not UTF-8 in UTF-8 text.</source>
            <translation>第 %1 行在 UTF-8 文本中含有不是 UTF-8 的字节。</translation>
        </message>
        <message>
            <source>Line %1 holds bytes that are not %2 text.</source>
            <translation>第 %1 行含有不是 %2 文本的字节。</translation>
        </message>
        <message>
            <source>It is over 1 MiB or has more than 1000 rows; a commodity list holds 200.</source>
            <translation>文件超过 1 MiB 或多于 1000 行;商品列表只有 200 行。</translation>
        </message>
    </context>
    <context>
        <name>ParameterDialog</name>
        <message>
            <location filename="../ui/ParameterDialog.ui" line="6" />
            <source>Parameter</source>
            <translation>参数信息</translation>
        </message>
        <message>
            <location filename="../ui/ParameterDialog.ui" line="58" />
            <source>Cancel(ESC)</source>
            <translation>返回(ESC)</translation>
        </message>
    </context>
    <context>
        <name>ScaleMainDialog</name>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="6" />
            <source>Electronic scale</source>
            <translation>Orvan电子秤</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="14" />
            <source>Setup</source>
            <translation>设置</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="20" />
            <source>Port:</source>
            <translation>端口:</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="37" />
            <location filename="../ui/ScaleMainDialog.ui" line="215" />
            <source>Baud rate:</source>
            <translation>波特率:</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="89" />
            <source>Model:</source>
            <translation>机型:</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="103" />
            <source>ZUD series</source>
            <translation>ZUD系列</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="108" />
            <source>ZEV series</source>
            <translation>ZEV系列</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="113" />
            <source>RIVAV series</source>
            <translation>DARUR系列</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="124" />
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="289" />
            <source>&amp;Open port</source>
            <translation>打开端口(&amp;O)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="134" />
            <source>Corporate name:</source>
            <translation>公司名称:</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="157" />
            <source>Setup &amp;company name</source>
            <translation>设置公司名称(&amp;C)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="173" />
            <source>&amp;Upload commodity</source>
            <translation>上传商品资料(&amp;U)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="189" />
            <source>&amp;TARE</source>
            <translation>除皮(&amp;T)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="205" />
            <source>&amp;Zero</source>
            <translation>置零(&amp;Z)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="273" />
            <source>Setup &amp;Baud rate</source>
            <translation>设置波特率(&amp;B)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="283" />
            <source>Postback frequency:</source>
            <translation>回传频率:</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="300" />
            <source>0(No active Postback)</source>
            <translation>0(不主动回传)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="364" />
            <source>Setup &amp;Postback</source>
            <translation>设置回传(&amp;R)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="382" />
            <source>Print &amp;setup</source>
            <translation>打印设置(&amp;S)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="398" />
            <source>&amp;Print A15 keyboard</source>
            <translation>打印A15键盘(&amp;P)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="414" />
            <source>Print A16 keyboar&amp;d</source>
            <translation>打印A16键盘(&amp;D)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="432" />
            <source>&amp;More</source>
            <translation>更多设置(&amp;G)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="445" />
            <source>Reading test</source>
            <translation>读数测试</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="454" />
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="219" />
            <source>Gross</source>
            <translation>毛重</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="490" />
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="220" />
            <source>TARE</source>
            <translation>皮重</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="516" />
            <source>Active &amp;return</source>
            <translation>主动回传(&amp;F)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="526" />
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="221" />
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="223" />
            <source>Net</source>
            <translation>净重</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="552" />
            <source>&amp;Automatic reading</source>
            <translation>自动读数(&amp;A)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="565" />
            <source>Read Parameter(&amp;E)</source>
            <translation>读取参数(&amp;E)</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="619" />
            <source>ESC</source>
            <translation>退出(ESC)</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="89" />
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="415" />
            <source>About VELK(&amp;A)...</source>
            <translation>关于 VELK(&amp;A)...</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="162" />
            <source>Virtual scale (demo)</source>
            <translation>虚拟电子秤(演示)</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="224" />
            <source>Price</source>
            <translation>单价</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="225" />
            <source>Total</source>
            <translation>总价</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="248" />
            <source>The virtual scale could not be started.</source>
            <translation>虚拟电子秤无法启动。</translation>
        </message>
        <message>
            <source>The connection to %1 was lost.</source>
            <translation>与 %1 的连接已断开。</translation>
        </message>
        <message>
            <source>The scale stopped taking data: a write could not be completed.</source>
            <translation>电子秤不再接收数据：写入未能完成。</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="269" />
            <source>Open port fail</source>
            <translation>打开端口失败</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="275" />
            <source>Cl&amp;ose port</source>
            <translation>关闭端口(&amp;O)</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="422" />
            <source>The commodity list could not be saved to %1.</source>
            <translation>商品资料无法保存到 %1。</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="475" />
            <source>The commodity list could not be read from %1. The file is kept as it is unless you change the list and agree to replace it.</source>
            <translation>无法从 %1 读取商品资料。除非您修改了列表并同意替换，该文件将保持原样。</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="491" />
            <source>%1 could not be read when the list was loaded. Replace it with the list as it is now?</source>
            <translation>载入列表时无法读取 %1。是否用当前列表替换该文件？</translation>
        </message>
        <message>
            <location filename="../../dialogs/ScaleMainDialog.cpp" line="507" />
            <source>Retry, discard the changes, or cancel and keep editing?</source>
            <translation>重试、放弃修改，还是取消并继续编辑？</translation>
        </message>
        <message>
            <source>&amp;Import/Export CSV</source>
            <translation>导入/导出 CSV(&amp;I)</translation>
        </message>
        <message>
            <source>&amp;Import from CSV...</source>
            <translation>从 CSV 导入(&amp;I)...</translation>
        </message>
        <message>
            <source>&amp;Export to CSV...</source>
            <translation>导出为 CSV(&amp;E)...</translation>
        </message>
        <message>
            <source>Import commodities</source>
            <translation>导入商品资料</translation>
        </message>
        <message>
            <source>Export commodities</source>
            <translation>导出商品资料</translation>
        </message>
        <message>
            <source>CSV files (*.csv *.txt);;All files (*)</source>
            <translation>CSV 文件 (*.csv *.txt);;所有文件 (*)</translation>
        </message>
        <message>
            <source>CSV files (*.csv)</source>
            <translation>CSV 文件 (*.csv)</translation>
        </message>
        <message>
            <source>%1 cannot be read: %2</source>
            <translation>无法读取 %1:%2</translation>
        </message>
        <message>
            <source>UTF-16 text is not read; save the sheet as CSV (UTF-8 or GBK).</source>
            <translation>不能读取 UTF-16 文本,请将表格另存为 CSV(UTF-8 或 GBK)。</translation>
        </message>
        <message>
            <source>Its header row names no No. column.</source>
            <translation>其标题行中没有“序号”列。</translation>
        </message>
        <message>
            <source>%1 cannot be imported.</source>
            <translation>无法导入 %1。</translation>
        </message>
        <message>
            <source>%1 cannot be written: %2</source>
            <translation>无法写入 %1:%2</translation>
        </message>
        <message>
            <location filename="../ui/ScaleMainDialog.ui" line="364" />
            <source>Setup Postbac&amp;k</source>
            <translation>设置回传(&amp;R)</translation>
        </message>
        <message>
            <source>Tare</source>
            <translation>除皮</translation>
        </message>
        <message>
            <source>Zero</source>
            <translation>置零</translation>
        </message>
        <message>
            <source>Baud rate %1</source>
            <translation>波特率%1</translation>
        </message>
        <message>
            <source>Postback rate</source>
            <translation>回传频率</translation>
        </message>
        <message>
            <source>Company name</source>
            <translation>公司名称</translation>
        </message>
        <message>
            <source>%1 sent</source>
            <translation>%1已发送</translation>
        </message>
        <message>
            <source>%1 could not be sent</source>
            <translation>%1发送失败</translation>
        </message>
        <message>
            <source>Automatic reading stopped for the settings</source>
            <translation>为进行设置，自动读数已停止</translation>
        </message>
        <message>
            <source>Open the port first</source>
            <translation>请先打开端口</translation>
        </message>
        <message>
            <source>Close the port first</source>
            <translation>请先关闭端口</translation>
        </message>
        <message>
            <source>Stop automatic reading first</source>
            <translation>请先停止自动读数</translation>
        </message>
        <message>
            <source>Only for the ZUD series</source>
            <translation>仅用于ZUD系列</translation>
        </message>
        <message>
            <source>Only for the ZEV series</source>
            <translation>仅用于ZEV系列</translation>
        </message>
        <message>
            <source>Only for the RIVAV series</source>
            <translation>仅用于DARUR系列</translation>
        </message>
        <message>
            <source>The ZEV series has no such command</source>
            <translation>ZEV系列没有此命令</translation>
        </message>
        <message>
            <source>The RIVAV series keeps no commodity list</source>
            <translation>DARUR系列没有商品资料</translation>
        </message>
        <message>
            <source>An upload is running</source>
            <translation>正在上传</translation>
        </message>
        <message numerus="yes">
            <source>%n lines sent</source>
            <translation>
                <numerusform>已发送%n行</numerusform>
            </translation>
        </message>
        <message numerus="yes">
            <source>Upload stopped after %n lines</source>
            <translation>
                <numerusform>上传在第%n行后中止</numerusform>
            </translation>
        </message>
        <message>
            <source>Waiting for the scale to take the last lines...</source>
            <translation>正在等待电子秤接收最后几行...</translation>
        </message>
        <message>
            <source>The scale is holding the line (it may be busy saving); waiting for it for up to 10 seconds...</source>
            <translation>电子秤暂停了接收（可能正在保存）；最多等待 10 秒...</translation>
        </message>
    </context>
    <context>
        <name>SettingsReport</name>
        <message>
            <location filename="../../controls/SettingsReport.cpp" line="14" />
            <source>The settings could not be saved to %1.</source>
            <translation>设置无法保存到 %1。</translation>
        </message>
    </context>
    <context>
        <name>QPlatformTheme</name>
        <message>
            <source>Discard</source>
            <translation>放弃</translation>
        </message>
    </context>
</TS>
