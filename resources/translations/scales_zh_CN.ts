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
</context>
<context>
    <name>ScaleMainDialog</name>
    <message>
        <source>S&amp;hop&apos;s scales...</source>
        <translation>本店电子秤(&amp;W)...</translation>
    </message>
    <message>
        <source>Se&amp;nd to scales...</source>
        <translation>发送到多台秤(&amp;N)...</translation>
    </message>
    <message>
        <source>The scale list cannot be read: %1</source>
        <translation>无法读取电子秤列表：%1</translation>
    </message>
</context>
<context>
    <name>FindScaleDialog</name>
    <message>
        <source>&amp;Add to scales</source>
        <translation>添加到电子秤列表(&amp;A)</translation>
    </message>
    <message>
        <source>The scale list cannot be read, so nothing was added: %1</source>
        <translation>无法读取电子秤列表，未添加任何电子秤：%1</translation>
    </message>
    <message>
        <source>%1 is listed already</source>
        <translation>%1 已在列表中</translation>
    </message>
    <message>
        <source>The scale list could not be saved to %1; nothing was added.</source>
        <translation>无法将电子秤列表保存到 %1，未添加任何电子秤。</translation>
    </message>
    <message>
        <source>No scale was added.</source>
        <translation>未添加电子秤。</translation>
    </message>
    <message>
        <source>Added to the scales: %1.</source>
        <translation>已添加到电子秤列表：%1。</translation>
    </message>
    <message>
        <source>Not added: %1.</source>
        <translation>未添加：%1。</translation>
    </message>
</context>
<context>
    <name>SendToScalesDialog</name>
    <message>
        <source>Send to scales</source>
        <translation>发送到多台秤</translation>
    </message>
    <message>
        <source>Each ticked scale gets the commodity list of its own model from that model&apos;s file; ZUD scales also get the company name.</source>
        <translation>每台勾选的电子秤接收其机型对应文件中的商品资料；ZUD 系列还会接收公司名称。</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>电子秤</translation>
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
        <source>Progress</source>
        <translation>进度</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>结果</translation>
    </message>
    <message>
        <source>&amp;Send</source>
        <translation>发送(&amp;S)</translation>
    </message>
    <message>
        <source>Send &amp;again to those that failed</source>
        <translation>重新发送失败的电子秤(&amp;A)</translation>
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
        <source>The scale list is empty: add the shop&apos;s scales in the Scales window first.</source>
        <translation>电子秤列表为空：请先在本店电子秤窗口中添加电子秤。</translation>
    </message>
    <message>
        <source>Cancelled: nothing was sent</source>
        <translation>已取消：未发送任何数据</translation>
    </message>
    <message>
        <source>Waiting</source>
        <translation>等待中</translation>
    </message>
    <message>
        <source>Sending...</source>
        <translation>正在发送...</translation>
    </message>
    <message>
        <source>The scale holds the line; waiting while it takes data</source>
        <translation>电子秤暂停了线路，正在等待其接收数据</translation>
    </message>
    <message>
        <source>The RIVAV series keeps no commodity list</source>
        <translation>RIVAV 系列没有商品资料</translation>
    </message>
    <message>
        <source>The commodity list could not be read from %1.</source>
        <translation>无法从 %1 读取商品资料。</translation>
    </message>
    <message>
        <source>There is no commodity list for this model yet (%1).</source>
        <translation>此机型还没有商品资料（%1）。</translation>
    </message>
    <message>
        <source>The port was closed.</source>
        <translation>端口已关闭。</translation>
    </message>
    <message>
        <source>Sent to %1 of %2 scales; not to: %3</source>
        <translation>已发送到 %2 台中的 %1 台电子秤；未发送：%3</translation>
    </message>
    <message numerus="yes">
        <source>Done: %n lines sent</source>
        <translation>
            <numerusform>完成：已发送 %n 行</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled after %n lines</source>
        <translation>
            <numerusform>已在发送 %n 行后取消</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Upload stopped after %n lines</source>
        <translation>
            <numerusform>上传在 %n 行后停止</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Sent to all %n scales</source>
        <translation>
            <numerusform>已发送到全部 %n 台电子秤</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ScalesDialog</name>
    <message>
        <source>Scales</source>
        <translation>本店电子秤</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
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
        <source>Test</source>
        <translation>测试</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>删除(&amp;R)</translation>
    </message>
    <message>
        <source>Re&amp;name</source>
        <translation>重命名(&amp;N)</translation>
    </message>
    <message>
        <source>&amp;Test</source>
        <translation>测试(&amp;T)</translation>
    </message>
    <message>
        <source>New scale</source>
        <translation>新电子秤</translation>
    </message>
    <message>
        <source>N&amp;ame:</source>
        <translation>名称(&amp;A):</translation>
    </message>
    <message>
        <source>&amp;Port:</source>
        <translation>端口(&amp;P):</translation>
    </message>
    <message>
        <source>&amp;Baud rate:</source>
        <translation>波特率(&amp;B):</translation>
    </message>
    <message>
        <source>&amp;Model:</source>
        <translation>机型(&amp;M):</translation>
    </message>
    <message>
        <source>A&amp;dd</source>
        <translation>添加(&amp;D)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>No answer from the scale.</source>
        <translation>电子秤没有应答。</translation>
    </message>
    <message>
        <source>The scale list cannot be read, so it is left as it is: %1</source>
        <translation>无法读取电子秤列表，文件保持原样：%1</translation>
    </message>
    <message>
        <source>%1 is in the list already.</source>
        <translation>%1 已在列表中。</translation>
    </message>
    <message>
        <source>The scale was not added: %1</source>
        <translation>未添加电子秤：%1</translation>
    </message>
    <message>
        <source>%1 was added.</source>
        <translation>已添加 %1。</translation>
    </message>
    <message>
        <source>%1 was removed.</source>
        <translation>已删除 %1。</translation>
    </message>
    <message>
        <source>The scale was not renamed: %1</source>
        <translation>未重命名电子秤：%1</translation>
    </message>
    <message>
        <source>The scale on %1 is now called %2.</source>
        <translation>%1 上的电子秤已改名为 %2。</translation>
    </message>
    <message>
        <source>Testing...</source>
        <translation>正在测试...</translation>
    </message>
    <message>
        <source>The scale list could not be saved to %1; it is as it was.</source>
        <translation>无法将电子秤列表保存到 %1，列表保持原样。</translation>
    </message>
    <message>
        <source>Gross</source>
        <translation>毛重</translation>
    </message>
    <message>
        <source>TARE</source>
        <translation>皮重</translation>
    </message>
    <message>
        <source>Net</source>
        <translation>净重</translation>
    </message>
    <message>
        <source>Price</source>
        <translation>单价</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>总价</translation>
    </message>
</context>
</TS>
