<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CalibrationDialog</name>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="27"/>
        <source>Setup1:按住ADJ键开机，先听到2次短响，直到听到一次长响时松开ADJ键</source>
        <translation>步骤1:按住ADJ键开机，先听到2次短响，直到听到一次长响时松开ADJ键</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="37"/>
        <source>Setup2:</source>
        <translation>步骤2:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="46"/>
        <source>① Select Code:</source>
        <translation>① 选择区号:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="66"/>
        <location filename="../ui/CalibrationDialog.ui" line="93"/>
        <location filename="../ui/CalibrationDialog.ui" line="141"/>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="76"/>
        <source>or ② Input g=:</source>
        <translation>或② 输入g值:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="103"/>
        <source>or ③ Input LAT and ASL:</source>
        <translation>或③ 输入纬度和海拔:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="110"/>
        <source>LAT:</source>
        <translation>纬度:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="124"/>
        <source>ASL:</source>
        <translation>海拔:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="165"/>
        <source>Setup3: 放入称盘,并确保称盘上没有任何物品,然后点击强制清零</source>
        <translation>步骤3: 放入称盘,并确保称盘上没有任何物品,然后点击强制清零</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="178"/>
        <source>SetZero</source>
        <translation>强制清零</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="190"/>
        <source>Setup4: 确保当前重量为0，如果不为0请再点击强制清零</source>
        <translation>步骤4: 确保当前重量为0，如果不为0请再点击强制清零</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="200"/>
        <source>Setup5: 放上砝码等待重量稳定</source>
        <translation>步骤5: 放上砝码等待重量稳定</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="210"/>
        <source>Setup6: 选择最大称量和砝码重量,然后点击“标定”</source>
        <translation>步骤6: 选择最大称量和砝码重量,然后点击“标定”</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="222"/>
        <source>Maximum weighing(kg):</source>
        <translation>最大称量(kg):</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="300"/>
        <source>Weights(kg):</source>
        <translation>砝码重量(kg):</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="343"/>
        <source>Calibration</source>
        <translation>标定</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="360"/>
        <source>Max:</source>
        <translation>最大:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="385"/>
        <source>Weights:</source>
        <translation>砝码:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="410"/>
        <source>Weight:</source>
        <translation>重量:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="487"/>
        <source>Cancel(ESC)</source>
        <translation>取消(ESC)</translation>
    </message>
    <message>
        <source>Gravity by area code</source>
        <translation>按区号设置重力加速度</translation>
    </message>
    <message>
        <source>Gravity value</source>
        <translation>重力加速度值</translation>
    </message>
    <message>
        <source>Gravity by latitude and altitude</source>
        <translation>按纬度和海拔设置重力加速度</translation>
    </message>
    <message>
        <source>Forced zero</source>
        <translation>强制清零</translation>
    </message>
    <message>
        <source>Span calibration</source>
        <translation>标定</translation>
    </message>
    <message>
        <source>Service command</source>
        <translation>服务命令</translation>
    </message>
</context>
<context>
    <name>ManufacturerPasswordDialog</name>
    <message>
        <location filename="../ui/ManufacturerPasswordDialog.ui" line="6"/>
        <source>Please input the Manufacturer password</source>
        <translation>请输入厂商密码</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerPasswordDialog.ui" line="49"/>
        <source>OK(Enter)</source>
        <translation>确定(Enter)</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerPasswordDialog.ui" line="62"/>
        <source>Cancel(ESC)</source>
        <translation>取消(ESC)</translation>
    </message>
    <message>
        <source>Manufacturer &amp;password:</source>
        <translation>厂商密码(&amp;P):</translation>
    </message>
</context>
<context>
    <name>ManufacturerSettingsDialog</name>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="6"/>
        <source>Manufacturer Setting</source>
        <translation>厂商设置</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="18"/>
        <source>Verification Grading Value(g):</source>
        <translation>检定分度值(g):</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="35"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="172"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="257"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="294"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="374"/>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="45"/>
        <source>(Note:0 ia auto)</source>
        <translation>(注:0为自动分度)</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="52"/>
        <source>Return Data Protocol type:</source>
        <translation>回传重量值协议类型:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="182"/>
        <source>Zero tracking range:</source>
        <translation>零点追踪范围:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="196"/>
        <source>No Zero tracking</source>
        <translation>无零点追踪</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="267"/>
        <source>NetWeight/Zero Button:</source>
        <translation>除皮/置零按键:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="278"/>
        <source>Lock</source>
        <translation>锁定</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="283"/>
        <source>Unlock</source>
        <translation>解锁</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="304"/>
        <source>Precision:</source>
        <translation>精度值:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="318"/>
        <source>Auto</source>
        <translation>自动精度</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="405"/>
        <source>Back(ESC)</source>
        <translation>返回(ESC)</translation>
    </message>
    <message>
        <source>Division value</source>
        <translation>分度值</translation>
    </message>
    <message>
        <source>Return protocol</source>
        <translation>回传协议</translation>
    </message>
    <message>
        <source>Zero tracking</source>
        <translation>零点跟踪</translation>
    </message>
    <message>
        <source>Key lock</source>
        <translation>按键锁定</translation>
    </message>
    <message>
        <source>Display precision</source>
        <translation>显示精度</translation>
    </message>
</context>
<context>
    <name>MoreSettingsDialog</name>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="27"/>
        <source>Setup1:开机状态下，按住ADJ键2秒，听到1声长响，进入设置当前重力加速度状态</source>
        <translation>步骤1:开机状态下，按住ADJ键2秒，听到1声长响，进入设置当前重力加速度状态</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="37"/>
        <source>Setup2:</source>
        <translation>步骤2:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="46"/>
        <source>1) Select Code:</source>
        <translation>① 选择区号:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="66"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="93"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="141"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="189"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="262"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="347"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="404"/>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="76"/>
        <source>or 2) Input g=:</source>
        <translation>或② 输入g值:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="103"/>
        <source>or 3) Input LAT and ASL:</source>
        <translation>或③ 输入纬度和海拔:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="110"/>
        <source>LAT:</source>
        <translation>纬度:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="124"/>
        <source>ASL:</source>
        <translation>海拔:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="202"/>
        <source>Stable Back</source>
        <translation>稳定时回传</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="215"/>
        <source>CMD Back</source>
        <translation>指令回传</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="282"/>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="295"/>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="305"/>
        <source>假稳定:</source>
        <translation>防抖等级:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="357"/>
        <source>LED Light:</source>
        <translation>LED亮度:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="422"/>
        <source>Calibration</source>
        <translation>标定</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="435"/>
        <source>Manufacturer</source>
        <translation>厂商设置</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="461"/>
        <source>Back(ESC)</source>
        <translation>返回(ESC)</translation>
    </message>
    <message>
        <source>Gravity by area code</source>
        <translation>按区号设置重力加速度</translation>
    </message>
    <message>
        <source>Gravity value</source>
        <translation>重力加速度值</translation>
    </message>
    <message>
        <source>Gravity by latitude and altitude</source>
        <translation>按纬度和海拔设置重力加速度</translation>
    </message>
    <message>
        <source>Postback count</source>
        <translation>回传次数</translation>
    </message>
    <message>
        <source>Postback when stable</source>
        <translation>稳定回传</translation>
    </message>
    <message>
        <source>Postback on command</source>
        <translation>命令回传</translation>
    </message>
    <message>
        <source>Overflow alarm</source>
        <translation>超载报警</translation>
    </message>
    <message>
        <source>Animal mode on</source>
        <translation>动物秤模式开</translation>
    </message>
    <message>
        <source>Animal mode off</source>
        <translation>动物秤模式关</translation>
    </message>
    <message>
        <source>False stability</source>
        <translation>假稳定</translation>
    </message>
    <message>
        <source>LED brightness</source>
        <translation>LED亮度</translation>
    </message>
</context>
<context>
    <name>NumericEdit</name>
    <message>
        <location filename="../../controls/NumericEdit.cpp" line="214"/>
        <source>Cu&amp;t</source>
        <translation>剪切(&amp;T)</translation>
    </message>
    <message>
        <location filename="../../controls/NumericEdit.cpp" line="216"/>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <location filename="../../controls/NumericEdit.cpp" line="218"/>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
    <message>
        <location filename="../../controls/NumericEdit.cpp" line="221"/>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <location filename="../../controls/NumericEdit.cpp" line="227"/>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
</context>
<context>
    <name>ScaleSettingsDialog</name>
    <message>
        <source>%1 sent</source>
        <translation>%1已发送</translation>
    </message>
    <message>
        <source>%1 could not be sent</source>
        <translation>%1发送失败</translation>
    </message>
</context>
</TS>
