<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>ScaleMainDialog</name>
    <message>
        <source>Network port...</source>
        <translation>网络端口...</translation>
    </message>
</context>
<context>
    <name>NetworkPortDialog</name>
    <message>
        <source>Network port</source>
        <translation>网络端口</translation>
    </message>
    <message>
        <source>&amp;Kind</source>
        <translation>类型(&amp;K)</translation>
    </message>
    <message>
        <source>RFC 2217 (serial device server)</source>
        <translation>RFC 2217（串口服务器）</translation>
    </message>
    <message>
        <source>Raw TCP (the server&apos;s own line settings)</source>
        <translation>原始 TCP（使用服务器自己的串口设置）</translation>
    </message>
    <message>
        <source>&amp;Host</source>
        <translation>主机(&amp;H)</translation>
    </message>
    <message>
        <source>name or address, e.g. 192.168.1.20</source>
        <translation>主机名或地址，例如 192.168.1.20</translation>
    </message>
    <message>
        <source>&amp;Port</source>
        <translation>端口(&amp;P)</translation>
    </message>
    <message>
        <source>OK(Enter)</source>
        <translation>确定(Enter)</translation>
    </message>
    <message>
        <source>Cancel(ESC)</source>
        <translation>取消(ESC)</translation>
    </message>
    <message>
        <source>Enter the host as a name, an IPv4 address or an IPv6 address.</source>
        <translation>请输入主机名、IPv4 地址或 IPv6 地址。</translation>
    </message>
</context>
<context>
    <name>FindScaleDialog</name>
    <message>
        <source>no answer within 3 s</source>
        <translation>3 秒内没有应答</translation>
    </message>
    <message>
        <source>the connection was refused</source>
        <translation>连接被拒绝</translation>
    </message>
    <message>
        <source>the host name is not known</source>
        <translation>主机名未知</translation>
    </message>
</context>
<context>
    <name>LineMonitorWindow</name>
    <message>
        <source>Note</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>The server does not take line settings: its own apply.</source>
        <translation>服务器不接受串口设置：使用它自己的设置。</translation>
    </message>
    <message>
        <source>The server set the line other than asked.</source>
        <translation>服务器设置的串口参数与要求的不同。</translation>
    </message>
    <message>
        <source>The server has not confirmed the line settings; the port is used as set.</source>
        <translation>服务器没有确认串口设置；按所设参数使用该端口。</translation>
    </message>
</context>
</TS>
