<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>PortWords</name>
    <message>
        <source>No port is selected.</source>
        <translation>未选择端口。</translation>
    </message>
    <message>
        <source>Access was refused: the user is not in the &quot;dialout&quot; group.</source>
        <translation>无权访问端口:当前用户不在 &quot;dialout&quot; 组中。</translation>
    </message>
    <message>
        <source>The port is in use by another program.</source>
        <translation>端口正被其他程序占用。</translation>
    </message>
    <message>
        <source>The port is not there (any more).</source>
        <translation>端口不存在(或已被移除)。</translation>
    </message>
    <message>
        <source>The port cannot be set up for the scale.</source>
        <translation>无法按电子秤的要求设置端口。</translation>
    </message>
    <message>
        <source>The system reported an error: %1.</source>
        <translation>系统报告错误：%1。</translation>
    </message>
    <message>
        <source>The device is gone (unplugged or switched off).</source>
        <translation>设备已不存在(已拔出或已关闭)。</translation>
    </message>
    <message>
        <source>The scale stopped taking data: nothing went out for 10 seconds.</source>
        <translation>电子秤不再接收数据：10 秒内没有数据发出。</translation>
    </message>
    <message>
        <source>No answer from %1.</source>
        <translation>%1 没有应答。</translation>
    </message>
    <message>
        <source>%1 refused the connection.</source>
        <translation>%1 拒绝了连接。</translation>
    </message>
    <message>
        <source>%1 is not a known host name.</source>
        <translation>%1 不是已知的主机名。</translation>
    </message>
    <message>
        <source>Cannot connect to %1.</source>
        <translation>无法连接到 %1。</translation>
    </message>
    <message>
        <source>Open port fail</source>
        <translation>打开端口失败</translation>
    </message>
</context>
</TS>
