<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CalibrationDialog</name>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="24"/>
        <source>Setup1:按住ADJ键开机，先听到2次短响，直到听到一次长响时松开ADJ键</source>
        <translation>步骤1:按住ADJ键开机，先听到2次短响，直到听到一次长响时松开ADJ键</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="34"/>
        <source>Setup2:</source>
        <translation>步骤2:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="43"/>
        <source>① Select Code:</source>
        <translation>① 选择区号:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="63"/>
        <location filename="../ui/CalibrationDialog.ui" line="90"/>
        <location filename="../ui/CalibrationDialog.ui" line="138"/>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="73"/>
        <source>or ② Input g=:</source>
        <translation>或② 输入g值:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="100"/>
        <source>or ③ Input LAT and ASL:</source>
        <translation>或③ 输入纬度和海拔:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="107"/>
        <source>LAT:</source>
        <translation>纬度:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="121"/>
        <source>ASL:</source>
        <translation>海拔:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="162"/>
        <source>Setup3: 放入称盘,并确保称盘上没有任何物品,然后点击强制清零</source>
        <translation>步骤3: 放入称盘,并确保称盘上没有任何物品,然后点击强制清零</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="175"/>
        <source>SetZero</source>
        <translation>强制清零</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="187"/>
        <source>Setup4: 确保当前重量为0，如果不为0请再点击强制清零</source>
        <translation>步骤4: 确保当前重量为0，如果不为0请再点击强制清零</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="197"/>
        <source>Setup5: 放上砝码等待重量稳定</source>
        <translation>步骤5: 放上砝码等待重量稳定</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="207"/>
        <source>Setup6: 选择最大称量和砝码重量,然后点击“标定”</source>
        <translation>步骤6: 选择最大称量和砝码重量,然后点击“标定”</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="219"/>
        <source>Maximum weighing(kg):</source>
        <translation>最大称量(kg):</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="297"/>
        <source>Weights(kg):</source>
        <translation>砝码重量(kg):</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="340"/>
        <source>Calibration</source>
        <translation>标定</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="357"/>
        <source>Max:</source>
        <translation>最大:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="382"/>
        <source>Weights:</source>
        <translation>砝码:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="407"/>
        <source>Weight:</source>
        <translation>重量:</translation>
    </message>
    <message>
        <location filename="../ui/CalibrationDialog.ui" line="484"/>
        <source>Cancel(ESC)</source>
        <translation>取消(ESC)</translation>
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
        <location filename="../ui/ManufacturerPasswordDialog.ui" line="46"/>
        <source>OK(Enter)</source>
        <translation>确定(Enter)</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerPasswordDialog.ui" line="59"/>
        <source>Cancel(ESC)</source>
        <translation>取消(ESC)</translation>
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
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="15"/>
        <source>Verification Grading Value(g):</source>
        <translation>检定分度值(g):</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="32"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="169"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="254"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="291"/>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="371"/>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="42"/>
        <source>(Note:0 ia auto)</source>
        <translation>(注:0为自动分度)</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="49"/>
        <source>Return Data Protocol type:</source>
        <translation>回传重量值协议类型:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="179"/>
        <source>Zero tracking range:</source>
        <translation>零点追踪范围:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="193"/>
        <source>No Zero tracking</source>
        <translation>无零点追踪</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="264"/>
        <source>NetWeight/Zero Button:</source>
        <translation>除皮/置零按键:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="275"/>
        <source>Lock</source>
        <translation>锁定</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="280"/>
        <source>Unlock</source>
        <translation>解锁</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="301"/>
        <source>Precision:</source>
        <translation>精度值:</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="315"/>
        <source>Auto</source>
        <translation>自动精度</translation>
    </message>
    <message>
        <location filename="../ui/ManufacturerSettingsDialog.ui" line="402"/>
        <source>Back(ESC)</source>
        <translation>返回(ESC)</translation>
    </message>
</context>
<context>
    <name>MoreSettingsDialog</name>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="24"/>
        <source>Setup1:开机状态下，按住ADJ键2秒，听到1声长响，进入设置当前重力加速度状态</source>
        <translation>步骤1:开机状态下，按住ADJ键2秒，听到1声长响，进入设置当前重力加速度状态</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="34"/>
        <source>Setup2:</source>
        <translation>步骤2:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="43"/>
        <source>1) Select Code:</source>
        <translation>① 选择区号:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="63"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="90"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="138"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="186"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="259"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="344"/>
        <location filename="../ui/MoreSettingsDialog.ui" line="401"/>
        <source>Set</source>
        <translation>设置</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="73"/>
        <source>or 2) Input g=:</source>
        <translation>或② 输入g值:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="100"/>
        <source>or 3) Input LAT and ASL:</source>
        <translation>或③ 输入纬度和海拔:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="107"/>
        <source>LAT:</source>
        <translation>纬度:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="121"/>
        <source>ASL:</source>
        <translation>海拔:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="199"/>
        <source>Stable Back</source>
        <translation>稳定时回传</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="212"/>
        <source>CMD Back</source>
        <translation>指令回传</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="279"/>
        <source>On</source>
        <translation>开</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="292"/>
        <source>Off</source>
        <translation>关</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="302"/>
        <source>假稳定:</source>
        <translation>防抖等级:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="354"/>
        <source>LED Light:</source>
        <translation>LED亮度:</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="419"/>
        <source>Calibration</source>
        <translation>标定</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="432"/>
        <source>Manufacturer</source>
        <translation>厂商设置</translation>
    </message>
    <message>
        <location filename="../ui/MoreSettingsDialog.ui" line="458"/>
        <source>Back(ESC)</source>
        <translation>返回(ESC)</translation>
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
</TS>
