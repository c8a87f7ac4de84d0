<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>qel::CInitSearchDlg</name>
    <message>
        <source> 搜索设备</source>
        <translation> Search Equipment</translation>
    </message>
    <message>
        <source>请稍候 ...</source>
        <translation>Please wait ...</translation>
    </message>
    <message>
        <source>发现 0 台设备, 断口: TCP </source>
        <translation>Found 0 units, port: TCP </translation>
    </message>
    <message>
        <source>发现 %1 台设备, 端口: COM%2</source>
        <translation>Found %1 units, port: COM%2</translation>
    </message>
</context>
<context>
    <name>qel::CMainFrame</name>
    <message>
        <source>Search Equipment ( UDP / USB )
Search</source>
        <translation>Search Equipment ( UDP / USB )
Search</translation>
    </message>
    <message>
        <source>NetWork Options
NetWork Options</source>
        <translation>NetWork Options
NetWork Options</translation>
    </message>
    <message>
        <source>Disconnect the selected equipment
Disconnect</source>
        <translation>Disconnect the selected equipment
Disconnect</translation>
    </message>
    <message>
        <source>Help and About</source>
        <translation>Help and About</translation>
    </message>
    <message>
        <source>错误: UDP 端口 %1 被占用 !</source>
        <translation>Error: UDP port %1 is in use !</translation>
    </message>
    <message>
        <source>Tool Bar</source>
        <translation>Tool Bar</translation>
    </message>
    <message>
        <source>设备(&amp;E)</source>
        <translation>&amp;Equipment</translation>
    </message>
    <message>
        <source>搜索设备(&amp;S)</source>
        <translation>&amp;Search Equipment</translation>
    </message>
    <message>
        <source>修改 PC &amp;IP</source>
        <translation>Change PC &amp;IP</translation>
    </message>
    <message>
        <source>设备网络设置(&amp;W)</source>
        <translation>Equipment Net&amp;work Settings</translation>
    </message>
    <message>
        <source>自动设置IP地址</source>
        <translation>Set IP Address Automatically</translation>
    </message>
    <message>
        <source>退出(&amp;E)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>视图(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>工具栏(&amp;T)</source>
        <translation>&amp;Tool Bar</translation>
    </message>
    <message>
        <source>状态栏(&amp;S)</source>
        <translation>&amp;Status Bar</translation>
    </message>
    <message>
        <source>设备栏(&amp;E)</source>
        <translation>&amp;Equipment Bar</translation>
    </message>
    <message>
        <source>驱动(&amp;D)</source>
        <translation>&amp;Driver</translation>
    </message>
    <message>
        <source>安装 USB 驱动</source>
        <translation>Install USB Driver</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>关于(&amp;A) Quellmar ...</source>
        <translation>&amp;About Quellmar ...</translation>
    </message>
    <message>
        <source>没有选中被连接的设备!</source>
        <translation>No connected unit is selected!</translation>
    </message>
    <message>
        <source>您确定要断开当前连接的设备吗 ?</source>
        <translation>Are you sure you want to disconnect the connected unit ?</translation>
    </message>
    <message>
        <source>about Quellmar</source>
        <translation>About Quellmar</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>界面语言将在下次启动时更改。</source>
        <translation>The interface language changes at the next start.</translation>
    </message>
</context>
<context>
    <name>qel::CMyStatusBar</name>
    <message>
        <source>名称: -</source>
        <translation>Name: -</translation>
    </message>
    <message>
        <source>状态:-</source>
        <translation>State:-</translation>
    </message>
    <message>
        <source>模式号码:-</source>
        <translation>Mode No.:-</translation>
    </message>
    <message>
        <source>模式号码:名称</source>
        <translation>Mode No.:Name</translation>
    </message>
</context>
<context>
    <name>qel::CQelBarEq</name>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>搜索列表: </source>
        <translation>Search list: </translation>
    </message>
</context>
<context>
    <name>qel::CQelConnectDlg</name>
    <message>
        <source>请等待 ...</source>
        <translation>Please wait ...</translation>
    </message>
    <message>
        <source> 从电脑下载数据</source>
        <translation> Download Data from the PC</translation>
    </message>
    <message>
        <source> 读取设备数据</source>
        <translation> Read Unit Data</translation>
    </message>
    <message>
        <source> 连接设备</source>
        <translation> Connect Unit</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>qel::CQelEqMgr</name>
    <message>
        <source>状态:在线 (%1)</source>
        <translation>State:online (%1)</translation>
    </message>
    <message>
        <source>状态:断开 (%1)</source>
        <translation>State:offline (%1)</translation>
    </message>
</context>
<context>
    <name>qel::CQelEqPanel</name>
    <message>
        <source>Equipment Panel</source>
        <translation>Equipment Panel</translation>
    </message>
</context>
<context>
    <name>qel::CQelEqPanelDlg</name>
    <message>
        <source>设备</source>
        <translation>Equipment</translation>
    </message>
</context>
<context>
    <name>qel::CQelEquipmentDlg</name>
    <message>
        <source>增益</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>延时</source>
        <translation>Delay</translation>
    </message>
    <message>
        <source>限制</source>
        <translation>Limiter</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Output</translation>
    </message>
    <message>
        <source>系统</source>
        <translation>System</translation>
    </message>
    <message>
        <source>本地 PC_IP</source>
        <translation>local PC_IP</translation>
    </message>
    <message>
        <source>工程模式</source>
        <translation>engineering mode</translation>
    </message>
    <message>
        <source>用户模式</source>
        <translation>user mode</translation>
    </message>
    <message>
        <source>名称: %1 (%2)</source>
        <translation>Name: %1 (%2)</translation>
    </message>
    <message>
        <source>状态:在线</source>
        <translation>State:online</translation>
    </message>
    <message>
        <source>模式号码:%1</source>
        <translation>Mode No.:%1</translation>
    </message>
    <message>
        <source>模式名称: %1</source>
        <translation>Mode name: %1</translation>
    </message>
    <message>
        <source>设备已经断开!</source>
        <translation>The unit has been disconnected!</translation>
    </message>
</context>
<context>
    <name>qel::CQelTitle</name>
    <message>
        <source>In </source>
        <translation>In </translation>
    </message>
    <message>
        <source>Out </source>
        <translation>Out </translation>
    </message>
    <message>
        <source>Do you want to bind the chunnel?</source>
        <translation>Do you want to link the channels?</translation>
    </message>
    <message>
        <source>EQ Control</source>
        <translation>EQ Control</translation>
    </message>
</context>
<context>
    <name>qel::UnitTransfer</name>
    <message>
        <source>提示: 连接超时 !</source>
        <translation>Note: the connection timed out !</translation>
    </message>
    <message>
        <source>从设备下载数据到电脑错误 !
</source>
        <translation>Error downloading data from the unit to the PC !
</translation>
    </message>
    <message>
        <source>连接 ...</source>
        <translation>Connecting ...</translation>
    </message>
    <message>
        <source>下载数据 ...</source>
        <translation>Downloading data ...</translation>
    </message>
</context>
<context>
    <name>qel::UsbDriverInstall</name>
    <message>
        <source>您确定要安装 USB 驱动吗 ?</source>
        <translation>Are you sure you want to install the USB driver ?</translation>
    </message>
    <message>
        <source>错误: USB 驱动包已损坏 (%1) !</source>
        <translation>Error: the USB driver package is damaged (%1) !</translation>
    </message>
    <message>
        <source>错误: 无法写入文件 %1 !</source>
        <translation>Error: cannot write the file %1 !</translation>
    </message>
    <message>
        <source>错误: 无法运行 %1 !</source>
        <translation>Error: cannot run %1 !</translation>
    </message>
    <message>
        <source>请重新插 USB 端口线, 再尝试连接...  </source>
        <translation>Please plug the USB cable in again, then try to connect...  </translation>
    </message>
</context>
</TS>
