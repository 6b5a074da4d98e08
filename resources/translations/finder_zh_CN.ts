<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ScaleMainDialog</name>
    <message>
        <source>&amp;Find scale</source>
        <translation>查找电子秤(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Line monitor</source>
        <translation>通信监视(&amp;L)</translation>
    </message>
</context>
<context>
    <name>FindScaleDialog</name>
    <message>
        <source>Find scale</source>
        <translation>查找电子秤</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Baud rate</source>
        <translation>波特率</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>机型</translation>
    </message>
    <message>
        <source>Weight</source>
        <translation>重量</translation>
    </message>
    <message>
        <source>Note</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>&amp;Use this scale</source>
        <translation>使用此电子秤(&amp;U)</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Looking for scales on %1 ports...</source>
        <translation>正在 %1 个端口上查找电子秤...</translation>
    </message>
    <message>
        <source>Trying %1 at %2 baud (port %3 of %4)...</source>
        <translation>正在尝试 %1，波特率 %2（第 %3 个端口，共 %4 个）...</translation>
    </message>
    <message>
        <source>Could not be opened: %1</source>
        <translation>无法打开：%1</translation>
    </message>
    <message>
        <source>No scale answered.</source>
        <translation>没有电子秤应答。</translation>
    </message>
    <message>
        <source>Scales found: %1.</source>
        <translation>找到电子秤：%1 台。</translation>
    </message>
    <message>
        <source>Cancelled.</source>
        <translation>已取消。</translation>
    </message>
    <message>
        <source>ZUD series</source>
        <translation>ZUD系列</translation>
    </message>
    <message>
        <source>ZEV series</source>
        <translation>ZEV系列</translation>
    </message>
    <message>
        <source>RIVAV series</source>
        <translation>DARUR系列</translation>
    </message>
    <message>
        <source>13-byte report after &quot;R&quot;</source>
        <translation>对 &quot;R&quot; 应答 13 字节报文</translation>
    </message>
    <message>
        <source>15-byte report after 0x11 (a RIVAV scale answers alike)</source>
        <translation>对 0x11 应答 15 字节报文（DARUR系列的应答相同）</translation>
    </message>
    <message>
        <source>16-byte reports sent unasked</source>
        <translation>主动发送 16 字节报文</translation>
    </message>
    <message>
        <source>access was refused (the user is not in the &quot;dialout&quot; group)</source>
        <translation>访问被拒绝（用户不在 &quot;dialout&quot; 组中）</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>正被其他程序使用</translation>
    </message>
    <message>
        <source>not there (any more)</source>
        <translation>端口不存在（或已拔出）</translation>
    </message>
    <message>
        <source>no baud rate of the list was accepted</source>
        <translation>列表中的波特率均不被接受</translation>
    </message>
</context>
<context>
    <name>LineMonitorWindow</name>
    <message>
        <source>Line monitor</source>
        <translation>通信监视</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>暂停(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Resume</source>
        <translation>继续(&amp;R)</translation>
    </message>
    <message>
        <source>C&amp;lear</source>
        <translation>清除(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Save...</source>
        <translation>保存(&amp;S)...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>时间</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>方向</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>十六进制</translation>
    </message>
    <message>
        <source>Text</source>
        <translation>文本</translation>
    </message>
    <message>
        <source>TX</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>RX</source>
        <translation>接收</translation>
    </message>
    <message>
        <source>Save line log</source>
        <translation>保存通信记录</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>文本文件 (*.txt);;所有文件 (*)</translation>
    </message>
    <message>
        <source>The line log could not be written to %1.</source>
        <translation>通信记录无法写入 %1。</translation>
    </message>
    <message>
        <source>%1 entries (the newest %2 are kept)</source>
        <translation>%1 条记录（保留最新的 %2 条）</translation>
    </message>
    <message>
        <source>RX, discarded</source>
        <translation>接收（已丢弃）</translation>
    </message>
    <message>
        <source>... %1 entries not shown: the monitor keeps the newest %2 ...</source>
        <translation>... 有 %1 条记录未显示：监视器只保留最新的 %2 条 ...</translation>
    </message>
</context>
</TS>
