<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>CQelEqType</name>
    <message>
        <source>P</source>
        <translation>P</translation>
    </message>
    <message>
        <source>LS</source>
        <translation>LS</translation>
    </message>
    <message>
        <source>HS</source>
        <translation>HS</translation>
    </message>
</context>
<context>
    <name>TypedValue</name>
    <message>
        <source>请输入数值</source>
        <translation>Type a value</translation>
    </message>
    <message>
        <source>“%1”不是数值</source>
        <translation>“%1” is not a number</translation>
    </message>
    <message>
        <source>“%1”的单位不对,这里的单位是 %2</source>
        <translation>“%1” has the wrong unit: this box is in %2</translation>
    </message>
    <message>
        <source>%1;设备保持 %2</source>
        <translation>%1; the unit keeps %2</translation>
    </message>
    <message>
        <source>%1 → %2,设备可取的最大值</source>
        <translation>%1 → %2, the most this unit takes</translation>
    </message>
    <message>
        <source>%1 → %2,设备可取的最小值</source>
        <translation>%1 → %2, the least this unit takes</translation>
    </message>
</context>
<context>
    <name>qel::AddVirtualDlg</name>
    <message>
        <source>添加虚拟设备</source>
        <translation>Add Virtual Unit</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>型号:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>名称:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>虚拟设备在本机模拟运行, 不连接任何网络。</source>
        <translation>A virtual unit is simulated on this computer and reaches no network.</translation>
    </message>
    <message>
        <source>请输入设备名称。</source>
        <translation>Please enter a name for the unit.</translation>
    </message>
    <message>
        <source>设备名称只能包含英文字母、数字和符号, 最多 %1 个字符。</source>
        <translation>A unit name may hold only English letters, digits and symbols, at most %1 characters.</translation>
    </message>
</context>
<context>
    <name>qel::AlarmsDlg</name>
    <message>
        <source>设备无响应或断开</source>
        <translation>Unit not answering or lost</translation>
    </message>
    <message>
        <source> 秒</source>
        <translation> s</translation>
    </message>
    <message>
        <source>削波</source>
        <translation>Clip</translation>
    </message>
    <message>
        <source>无信号 (输入)</source>
        <translation>No signal (inputs)</translation>
    </message>
    <message>
        <source>报警设置</source>
        <translation>Alarm settings</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>确认</source>
        <translation>Acknowledge</translation>
    </message>
    <message>
        <source>全部确认</source>
        <translation>Acknowledge all</translation>
    </message>
    <message>
        <source>当前报警</source>
        <translation>Current alarms</translation>
    </message>
    <message>
        <source>持续</source>
        <translation>for</translation>
    </message>
    <message>
        <source>电平 ≥</source>
        <translation>level ≥</translation>
    </message>
    <message>
        <source>电平 ≤</source>
        <translation>level ≤</translation>
    </message>
    <message>
        <source>时段 (起止相同: 全天)</source>
        <translation>Hours (same start and end: all day)</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>设备断开</source>
        <translation>Unit lost</translation>
    </message>
    <message>
        <source>设备无响应</source>
        <translation>Unit not answering</translation>
    </message>
    <message>
        <source>无信号</source>
        <translation>No signal</translation>
    </message>
    <message>
        <source>%1 是 %2, 须在 %3 到 %4 之间</source>
        <translation>%1 is %2; it must lie between %3 and %4</translation>
    </message>
    <message>
        <source>%1 不是有效的时间</source>
        <translation>%1 is not a valid time</translation>
    </message>
    <message>
        <source>%1 不是有效的数值</source>
        <translation>%1 is not a valid value</translation>
    </message>
    <message>
        <source>已确认</source>
        <translation>Acknowledged</translation>
    </message>
    <message>
        <source>新</source>
        <translation>New</translation>
    </message>
</context>
<context>
    <name>qel::CAboutDlg</name>
    <message>
        <source>about Quellmar</source>
        <translation>About Quellmar</translation>
    </message>
    <message>
        <source>通过以太网 (UDP) 和 USB 串口搜索、连接并控制 QD206、QD406 和 QD408 数字音箱处理器。</source>
        <translation>Finds, connects to and controls QD206, QD406 and QD408 loudspeaker processors over Ethernet (UDP) and USB-serial.</translation>
    </message>
    <message>
        <source>许可证: GNU 通用公共许可证第 3 版或 (由你选择) 任何更高版本 (GPL-3.0-or-later)。本程序不提供任何担保。</source>
        <translation>Licence: GNU General Public License, version 3 or (at your option) any later version (GPL-3.0-or-later). This program comes with no warranty.</translation>
    </message>
    <message>
        <source>使用说明: 程序附带的 README.md 和手册页 quellmar(1) (在终端输入 &quot;man quellmar&quot;)。</source>
        <translation>Documentation: the README.md that comes with the program and the manual page quellmar(1) (type &quot;man quellmar&quot; in a terminal).</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>qel::CEqNetConfigDlg</name>
    <message>
        <source>网络 : 设备设置</source>
        <translation>Network : Unit Settings</translation>
    </message>
    <message>
        <source>设备列表:</source>
        <translation>Unit list:</translation>
    </message>
    <message>
        <source>No</source>
        <translation>No</translation>
    </message>
    <message>
        <source>IP Address</source>
        <translation>IP Address</translation>
    </message>
    <message>
        <source>Gateway</source>
        <translation>Gateway</translation>
    </message>
    <message>
        <source>MAC Address</source>
        <translation>MAC Address</translation>
    </message>
    <message>
        <source>搜索</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>设备 IP 地址:</source>
        <translation>Unit IP address:</translation>
    </message>
    <message>
        <source>设备 网关地址:</source>
        <translation>Unit gateway address:</translation>
    </message>
    <message>
        <source>控制端PC IP地址1:</source>
        <translation>Controller PC IP address 1:</translation>
    </message>
    <message>
        <source>控制端PC IP地址2:</source>
        <translation>Controller PC IP address 2:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Error: Failure to get the equipment&apos;s network information !</source>
        <translation>Error: Failure to get the equipment&apos;s network information !</translation>
    </message>
    <message>
        <source>Error: IP Address or Gateway !</source>
        <translation>Error: IP Address or Gateway !</translation>
    </message>
    <message>
        <source>Success to modify the IP Address !</source>
        <translation>Success to modify the IP Address !</translation>
    </message>
</context>
<context>
    <name>qel::CEqSystemDlg</name>
    <message>
        <source>系统控制</source>
        <translation>System control</translation>
    </message>
    <message>
        <source>密码修改</source>
        <translation>Password change</translation>
    </message>
    <message>
        <source>设备名称</source>
        <translation>Device name</translation>
    </message>
    <message>
        <source>改变设备模式</source>
        <translation>Change device mode</translation>
    </message>
    <message>
        <source>电脑模式</source>
        <translation>PC modes</translation>
    </message>
    <message>
        <source>密码:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>用户模式</source>
        <translation>User mode</translation>
    </message>
    <message>
        <source>工程模式</source>
        <translation>Engineering mode</translation>
    </message>
    <message>
        <source>旧密码:</source>
        <translation>Old password:</translation>
    </message>
    <message>
        <source>新密码:</source>
        <translation>New password:</translation>
    </message>
    <message>
        <source> 名称:</source>
        <translation> Name:</translation>
    </message>
    <message>
        <source>模式序号:</source>
        <translation>Mode no.:</translation>
    </message>
    <message>
        <source>名称:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>保存模式</source>
        <translation>Save mode</translation>
    </message>
    <message>
        <source>调用模式</source>
        <translation>Recall mode</translation>
    </message>
    <message>
        <source>模式管理:</source>
        <translation>Mode management:</translation>
    </message>
    <message>
        <source>序号</source>
        <translation>No.</translation>
    </message>
    <message>
        <source>模式名称</source>
        <translation>Mode name</translation>
    </message>
    <message>
        <source>日期</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>模式名称:</source>
        <translation>Mode name:</translation>
    </message>
    <message>
        <source>保存当前模式到电脑</source>
        <translation>Save current mode to PC</translation>
    </message>
    <message>
        <source>应用模式到设备</source>
        <translation>Apply mode to device</translation>
    </message>
    <message>
        <source>请输入系统密码!</source>
        <translation>Please enter the system password!</translation>
    </message>
    <message>
        <source>错误</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>错误的系统密码!</source>
        <translation>Wrong system password!</translation>
    </message>
    <message>
        <source>成功转换到工程模式!</source>
        <translation>Switched to engineering mode!</translation>
    </message>
    <message>
        <source>成功转换到用户模式!</source>
        <translation>Switched to user mode!</translation>
    </message>
    <message>
        <source>请输出系统密码!</source>
        <translation>Enter the system password!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>错误: 密码必须 6 位数字!</source>
        <translation>Error: the password must be 6 digits!</translation>
    </message>
    <message>
        <source>错误的系统密码 !</source>
        <translation>Wrong system password !</translation>
    </message>
    <message>
        <source>成功修改系统密码 !</source>
        <translation>System password changed !</translation>
    </message>
    <message>
        <source>修改系统密码失败, 超时!</source>
        <translation>Changing the system password failed, time-out!</translation>
    </message>
    <message>
        <source>请输入设备名称!</source>
        <translation>Please enter the device name!</translation>
    </message>
    <message>
        <source>成功修改设备名称!</source>
        <translation>Device name changed!</translation>
    </message>
    <message>
        <source>修改设备名称错误! 超时!</source>
        <translation>Error changing the device name! Time-out!</translation>
    </message>
    <message>
        <source>用户模式不可以保存数据 !</source>
        <translation>User mode cannot save data !</translation>
    </message>
    <message>
        <source>您确定要保存当前模式吗 ?</source>
        <translation>Save the current mode?</translation>
    </message>
    <message>
        <source>请输入模式名称!</source>
        <translation>Please enter a mode name!</translation>
    </message>
    <message>
        <source>保存错误模式, 超时!</source>
        <translation>Error saving the mode, time-out!</translation>
    </message>
    <message>
        <source>模式名称: %1</source>
        <translation>Mode name: %1</translation>
    </message>
    <message>
        <source>成功保存模式!</source>
        <translation>Mode saved!</translation>
    </message>
    <message>
        <source>您确定要调用选择的模式吗 ?</source>
        <translation>Recall the selected mode?</translation>
    </message>
    <message>
        <source>错误: 超时!</source>
        <translation>Error: time-out!</translation>
    </message>
    <message>
        <source>模式序号: %1</source>
        <translation>Mode number: %1</translation>
    </message>
    <message>
        <source>您确定要保存当前模式到电脑吗 ?</source>
        <translation>Save the current mode to the PC?</translation>
    </message>
    <message>
        <source>保存模式文件失败: %1</source>
        <translation>Saving the mode file failed: %1</translation>
    </message>
    <message>
        <source>您确定要应用模式到设备吗 ?</source>
        <translation>Apply the mode to the device?</translation>
    </message>
    <message>
        <source>该电脑模式是空的, 不能应用到设备!</source>
        <translation>This PC mode is empty; it cannot be applied to the device!</translation>
    </message>
    <message>
        <source>设备只能保存英文字母、数字、空格和半角符号 (ASCII 32-127), 不能保存: %1</source>
        <translation>The device keeps only English letters, digits, spaces and ASCII symbols (ASCII 32-127), not: %1</translation>
    </message>
    <message>
        <source>是否改用 &quot;%1&quot; ?</source>
        <translation>Use &quot;%1&quot; instead?</translation>
    </message>
    <message>
        <source>模式文件用 GBK 编码保存名称, 不能保存这些字符: %1</source>
        <translation>Mode files keep names in GBK, which cannot hold these characters: %1</translation>
    </message>
    <message>
        <source>模式名称超过 20 个字节, 已缩短为 &quot;%1&quot;。</source>
        <translation>The mode name is longer than 20 bytes; it was shortened to &quot;%1&quot;.</translation>
    </message>
</context>
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
    <name>qel::CLocalAddressDlg</name>
    <message>
        <source>网络 : IP 地址设置</source>
        <translation>Network : IP Address Settings</translation>
    </message>
    <message>
        <source>修改 PC IP 地址:</source>
        <translation>Change the PC&apos;s IP address:</translation>
    </message>
    <message>
        <source>本地 IP 地址:</source>
        <translation>Local IP address:</translation>
    </message>
    <message>
        <source>本地 网关:</source>
        <translation>Local gateway:</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
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
        <source>界面语言将在下次启动时更改。</source>
        <translation>The interface language changes at the next start.</translation>
    </message>
    <message>
        <source>未能把 PC 的网卡设到 192.168.6.x 网段</source>
        <translation>Could not put the PC&apos;s network adapter on the 192.168.6.x subnet</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>导出...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>导入...</source>
        <translation>Import...</translation>
    </message>
    <message>
        <source>没有找到要打开的设备 %1。</source>
        <translation>The unit to open, %1, was not found.</translation>
    </message>
    <message>
        <source>正在向设备传输数据。要取消传输并退出吗 ?</source>
        <translation>Data is being sent to the unit. Cancel the transfer and exit?</translation>
    </message>
    <message>
        <source>远程控制...</source>
        <translation>Remote Control...</translation>
    </message>
    <message>
        <source>远程控制无法启动: %1</source>
        <translation>The remote control cannot start: %1</translation>
    </message>
    <message>
        <source>添加虚拟设备...</source>
        <translation>Add Virtual Unit...</translation>
    </message>
    <message>
        <source>删除虚拟设备</source>
        <translation>Remove Virtual Unit</translation>
    </message>
    <message>
        <source>没有找到设备。添加一台虚拟设备试用?</source>
        <translation>No unit found. Add a virtual unit to try it out?</translation>
    </message>
    <message>
        <source>无法恢复虚拟设备: %1</source>
        <translation>Could not restore the virtual units: %1</translation>
    </message>
    <message>
        <source>无法添加虚拟设备: %1</source>
        <translation>Could not add a virtual unit: %1</translation>
    </message>
    <message>
        <source>请先在设备列表中选中一台虚拟设备。</source>
        <translation>Select a virtual unit in the equipment list first.</translation>
    </message>
    <message>
        <source>删除虚拟设备 %1 吗? 它的设置会一起删除。</source>
        <translation>Remove the virtual unit %1? Its settings are removed with it.</translation>
    </message>
    <message>
        <source>保存演出文件...</source>
        <translation>Save Show File...</translation>
    </message>
    <message>
        <source>打开演出文件...</source>
        <translation>Open Show File...</translation>
    </message>
    <message>
        <source>正在为远程控制读取这台设备, 请稍候。</source>
        <translation>The unit is being read for the remote control, please wait.</translation>
    </message>
    <message>
        <source>编组文件有错误, 未使用也未改动: %1</source>
        <translation>The groups file has errors and is neither used nor changed: %1</translation>
    </message>
    <message>
        <source>编组...</source>
        <translation>Groups...</translation>
    </message>
    <message>
        <source>事件日志无法写入: %1</source>
        <translation>The event log cannot be written: %1</translation>
    </message>
    <message>
        <source>事件日志...</source>
        <translation>Event Log...</translation>
    </message>
    <message>
        <source>OSC 无法启动: %1</source>
        <translation>OSC cannot start: %1</translation>
    </message>
    <message>
        <source>报警设置...</source>
        <translation>Alarm settings...</translation>
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
    <message>
        <source>报警 %1 (新 %2)</source>
        <translation>Alarms %1 (%2 new)</translation>
    </message>
    <message>
        <source>报警 %1</source>
        <translation>Alarms %1</translation>
    </message>
</context>
<context>
    <name>qel::CPanelDealy</name>
    <message>
        <source>Units:</source>
        <translation>Units:</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>Milliseconds</translation>
    </message>
    <message>
        <source>米</source>
        <translation>Metres</translation>
    </message>
    <message>
        <source>英尺</source>
        <translation>Feet</translation>
    </message>
    <message>
        <source>Input %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>Output %1</source>
        <translation>Output %1</translation>
    </message>
</context>
<context>
    <name>qel::CPanelEqo</name>
    <message>
        <source>高通:</source>
        <translation>High-pass:</translation>
    </message>
    <message>
        <source>低通:</source>
        <translation>Low-pass:</translation>
    </message>
</context>
<context>
    <name>qel::CPanelGain</name>
    <message>
        <source>Output %1</source>
        <translation>Output %1</translation>
    </message>
    <message>
        <source>Input %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>静音</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>Phase 0°</source>
        <translation>Phase 0°</translation>
    </message>
    <message>
        <source>Phase180</source>
        <translation>Phase180</translation>
    </message>
    <message>
        <source>编组 %1 %2 → %3 (自身 %4)</source>
        <translation>Group %1 %2 → %3 (own %4)</translation>
    </message>
    <message>
        <source>自身 %1
%2 %3
→ %4</source>
        <translation>own %1
%2 %3
→ %4</translation>
    </message>
</context>
<context>
    <name>qel::CPanelLimiter</name>
    <message>
        <source>Level -&gt;</source>
        <translation>Level -&gt;</translation>
    </message>
    <message>
        <source>Attack -&gt;</source>
        <translation>Attack -&gt;</translation>
    </message>
    <message>
        <source>Release -&gt;</source>
        <translation>Release -&gt;</translation>
    </message>
    <message>
        <source>Output %1</source>
        <translation>Output %1</translation>
    </message>
    <message>
        <source>%1 ms</source>
        <translation>%1 ms</translation>
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
        <translation>State:not connected (%1)</translation>
    </message>
    <message>
        <source>状态:无响应 (%1)</source>
        <translation>State:no answer (%1)</translation>
    </message>
    <message>
        <source>虚拟</source>
        <translation>virtual</translation>
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
    <name>qel::CQelEqView</name>
    <message>
        <source>HPF</source>
        <translation>HPF</translation>
    </message>
    <message>
        <source>LPF</source>
        <translation>LPF</translation>
    </message>
    <message>
        <source>EQ PASS</source>
        <translation>EQ PASS</translation>
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
        <translation>Limit</translation>
    </message>
    <message>
        <source>输入</source>
        <translation>In</translation>
    </message>
    <message>
        <source>输出</source>
        <translation>Out</translation>
    </message>
    <message>
        <source>系统</source>
        <translation>System</translation>
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
    <message>
        <source>存 A</source>
        <translation>Store A</translation>
    </message>
    <message>
        <source>存 B</source>
        <translation>Store B</translation>
    </message>
    <message>
        <source>把当前设置存为 A</source>
        <translation>Store the current settings as A</translation>
    </message>
    <message>
        <source>把当前设置存为 B</source>
        <translation>Store the current settings as B</translation>
    </message>
    <message>
        <source>在 A 和 B 之间切换: 当前设置留在当前一方, 设备只收到不同的参数</source>
        <translation>Switch between A and B: the current settings stay with the current side, the unit receives only the parameters that differ</translation>
    </message>
    <message>
        <source>切到 B</source>
        <translation>To B</translation>
    </message>
    <message>
        <source>切到 A</source>
        <translation>To A</translation>
    </message>
    <message>
        <source>正在向设备传输数据。要取消传输吗 ?</source>
        <translation>Data is being sent to the unit. Cancel the transfer?</translation>
    </message>
    <message>
        <source>虚拟</source>
        <translation>virtual</translation>
    </message>
    <message>
        <source>状态:断开</source>
        <translation>State:not connected</translation>
    </message>
    <message>
        <source>状态:无响应</source>
        <translation>State:no answer</translation>
    </message>
    <message>
        <source>设备正忙: %1</source>
        <translation>The unit is busy: %1</translation>
    </message>
</context>
<context>
    <name>qel::CQelSyncBar</name>
    <message>
        <source>重连</source>
        <translation>Reconnect</translation>
    </message>
    <message>
        <source>同步 %1</source>
        <translation>Sync %1</translation>
    </message>
    <message>
        <source>同步</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>连接已断开</source>
        <translation>Link lost</translation>
    </message>
    <message>
        <source>设备的连接已断开。
&quot;重连&quot; 重新连接设备, 读取它的设置并与编辑器比较, 然后由您决定保留哪一方。</source>
        <translation>The link to the unit is lost.
&quot;Reconnect&quot; connects again, reads the unit&apos;s settings and compares them with the editor&apos;s; then you choose which to keep.</translation>
    </message>
    <message>
        <source>未确认的修改: %1</source>
        <translation>Unconfirmed edits: %1</translation>
    </message>
    <message>
        <source>%1 个修改没有得到设备的确认, 设备可能与屏幕不同。
&quot;同步&quot; 把编辑器的设置写入设备并读回验证。</source>
        <translation>%1 edits were not confirmed by the unit; it may differ from the screen.
&quot;Sync&quot; writes the editor&apos;s settings into the unit and reads them back to verify.</translation>
    </message>
    <message>
        <source>设备与编辑器不同</source>
        <translation>Unit differs from editor</translation>
    </message>
    <message>
        <source>设备的设置与编辑器不同。
&quot;同步&quot; 把编辑器的设置写入设备并读回验证。</source>
        <translation>The unit&apos;s settings differ from the editor&apos;s.
&quot;Sync&quot; writes the editor&apos;s settings into the unit and reads them back to verify.</translation>
    </message>
    <message>
        <source>设备没有应答。</source>
        <translation>The unit did not answer.</translation>
    </message>
    <message>
        <source>同步没有成功, 设备与编辑器仍然不同:
%1</source>
        <translation>The sync did not succeed; the unit still differs from the editor:
%1</translation>
    </message>
    <message>
        <source>无法打开 %1:
%2</source>
        <translation>Cannot open %1:
%2</translation>
    </message>
    <message>
        <source>已重新连接设备, 设备与编辑器的设置相同。</source>
        <translation>Reconnected; the unit&apos;s settings equal the editor&apos;s.</translation>
    </message>
    <message>
        <source>... 另有 %1 处</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>已重新连接设备。设备与编辑器有 %1 处不同:
%2

是: 保留编辑器的设置, 写入设备并验证
否: 采用设备的设置
取消: 暂不改变 (稍后可用 &quot;同步&quot;)</source>
        <translation>Reconnected. The unit and the editor differ in %1 places:
%2

Yes: keep the editor&apos;s settings, write and verify them
No: take the unit&apos;s settings
Cancel: change nothing for now (&quot;Sync&quot; later)</translation>
    </message>
    <message>
        <source>设备: %1
  编辑器: %2</source>
        <translation>Unit: %1
  Editor: %2</translation>
    </message>
    <message>
        <source>无法读回设备的设置。</source>
        <translation>The unit&apos;s settings could not be read back.</translation>
    </message>
    <message>
        <source>重发 %1 轮后仍有 %2 处不同:
%3</source>
        <translation>%2 parameter(s) still differ after %1 round(s) of sending them again:
%3</translation>
    </message>
    <message>
        <source>设备无响应</source>
        <translation>Unit not answering</translation>
    </message>
    <message>
        <source>设备没有应答, 此时的修改计为未确认。
设备再应答时这里会恢复; &quot;重连&quot; 重新连接设备并与编辑器比较。</source>
        <translation>The unit does not answer; edits made now count as unconfirmed.
This clears when the unit answers again; &quot;Reconnect&quot; connects to the unit again and compares it with the editor.</translation>
    </message>
    <message>
        <source>设备正忙: %1</source>
        <translation>The unit is busy: %1</translation>
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
    <name>qel::CQuellmarApp</name>
    <message>
        <source>Quellmar 已经在运行。</source>
        <translation>Quellmar is already running.</translation>
    </message>
    <message>
        <source>无法保存图片 %1</source>
        <translation>Cannot save the picture %1</translation>
    </message>
</context>
<context>
    <name>qel::EditWords</name>
    <message>
        <source>切换到 %1</source>
        <translation>Switch to %1</translation>
    </message>
    <message>
        <source>输入 %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>输出 %1</source>
        <translation>Output %1</translation>
    </message>
    <message>
        <source>恢复设置</source>
        <translation>Restore settings</translation>
    </message>
    <message>
        <source>%1 EQ 复位</source>
        <translation>%1 EQ reset</translation>
    </message>
    <message>
        <source>%1 EQ 复制自 %2</source>
        <translation>%1 EQ copied from %2</translation>
    </message>
    <message>
        <source>%1 EQ 点 %2: %3 Hz %4 dB</source>
        <translation>%1 EQ point %2: %3 Hz %4 dB</translation>
    </message>
    <message>
        <source>%1 增益 %2 dB</source>
        <translation>%1 gain %2 dB</translation>
    </message>
    <message>
        <source>%1 静音</source>
        <translation>%1 mute</translation>
    </message>
    <message>
        <source>%1 取消静音</source>
        <translation>%1 unmute</translation>
    </message>
    <message>
        <source>%1 EQ 开</source>
        <translation>%1 EQ on</translation>
    </message>
    <message>
        <source>%1 EQ 直通</source>
        <translation>%1 EQ pass</translation>
    </message>
    <message>
        <source>关</source>
        <translation>off</translation>
    </message>
    <message>
        <source>%1 输入选择 %2</source>
        <translation>%1 inputs %2</translation>
    </message>
    <message>
        <source>%1 相位 %2°</source>
        <translation>%1 phase %2°</translation>
    </message>
    <message>
        <source>%1 延时 %2 ms</source>
        <translation>%1 delay %2 ms</translation>
    </message>
    <message>
        <source>%1 限幅 %2 dB</source>
        <translation>%1 limiter %2 dB</translation>
    </message>
    <message>
        <source>%1 启动时间 %2 ms</source>
        <translation>%1 attack %2 ms</translation>
    </message>
    <message>
        <source>%1 释放时间 %2 ms</source>
        <translation>%1 release %2 ms</translation>
    </message>
    <message>
        <source>%1 高通 %2</source>
        <translation>%1 high-pass %2</translation>
    </message>
    <message>
        <source>%1 低通 %2</source>
        <translation>%1 low-pass %2</translation>
    </message>
    <message>
        <source>%1 EQ 导入滤波器</source>
        <translation>%1 EQ filters imported</translation>
    </message>
    <message>
        <source>%1 (远程客户端 %2)</source>
        <translation>%1 (remote client %2)</translation>
    </message>
    <message>
        <source>%1 (编组 %2)</source>
        <translation>%1 (group %2)</translation>
    </message>
    <message>
        <source>%1 (OSC %2)</source>
        <translation>%1 (OSC %2)</translation>
    </message>
</context>
<context>
    <name>qel::EqPage</name>
    <message>
        <source>增益:</source>
        <translation>Gain:</translation>
    </message>
    <message>
        <source>类型:</source>
        <translation>Type:</translation>
    </message>
    <message>
        <source>频率:</source>
        <translation>Freq:</translation>
    </message>
    <message>
        <source>EQPoint: 1    Type: PEQ     Gain: +0.0 dB     Freq: 1000Hz     Q: 1.0</source>
        <translation>EQPoint: 1    Type: PEQ     Gain: +0.0 dB     Freq: 1000Hz     Q: 1.0</translation>
    </message>
    <message>
        <source>EQ pass</source>
        <translation>EQ pass</translation>
    </message>
    <message>
        <source>重置</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>EQPoint: %1    Type: %2     Gain: %3 dB     Freq: %4Hz     Q: %5</source>
        <translation>EQPoint: %1    Type: %2     Gain: %3 dB     Freq: %4Hz     Q: %5</translation>
    </message>
    <message>
        <source>确定要重置 EQ 吗 ?</source>
        <translation>Reset the EQ ?</translation>
    </message>
    <message>
        <source>Q:</source>
        <translation>Q:</translation>
    </message>
    <message>
        <source>PEQ</source>
        <translation>PEQ</translation>
    </message>
    <message>
        <source>LS</source>
        <translation>LS</translation>
    </message>
    <message>
        <source>HS</source>
        <translation>HS</translation>
    </message>
    <message>
        <source>滤波器 %1 (第 %2 行): %3 → 点 %1: %4 (移动 %5)</source>
        <translation>Filter %1 (line %2): %3 → point %1: %4 (moved %5)</translation>
    </message>
    <message>
        <source>无法读取文件 %1:
%2</source>
        <translation>Cannot read the file %1:
%2</translation>
    </message>
    <message>
        <source>无法使用文件 %1:
%2</source>
        <translation>Cannot use the file %1:
%2</translation>
    </message>
    <message>
        <source>文件 %1 中没有打开的滤波器。</source>
        <translation>The file %1 has no filters that are on.</translation>
    </message>
    <message>
        <source>取整到设备的步进后, 20 Hz 到 20 kHz 之间的响应最多改变 %1 dB (在 %2 Hz)。</source>
        <translation>Rounding to the unit&apos;s steps changes the response by at most %1 dB (at %2 Hz) between 20 Hz and 20 kHz.</translation>
    </message>
    <message>
        <source>文件的前置增益 %1 dB 不会应用, 请自行设置增益。</source>
        <translation>The file&apos;s preamp of %1 dB is not applied; set the gain yourself.</translation>
    </message>
    <message>
        <source>跳过了关闭的滤波器: %1</source>
        <translation>Filters that are off, skipped: %1</translation>
    </message>
    <message>
        <source>输入 %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>输出 %1</source>
        <translation>Output %1</translation>
    </message>
    <message>
        <source>要把这些滤波器用在 %1 吗 ? 其余的点设为 0 dB, EQ 打开。</source>
        <translation>Put these filters on %1? The other points are set to 0 dB and the EQ is switched on.</translation>
    </message>
    <message>
        <source>导入滤波器...</source>
        <translation>Import filters...</translation>
    </message>
    <message>
        <source>测量软件导出的 EQ 文本, 用在当前通道</source>
        <translation>EQ text exported by a measurement program, for this channel</translation>
    </message>
    <message>
        <source>; 斜率与设备的搁架滤波器最多相差 %1 dB</source>
        <translation>; its slope differs from the unit&apos;s shelf by up to %1 dB</translation>
    </message>
    <message>
        <source>高通</source>
        <translation>high-pass</translation>
    </message>
    <message>
        <source>低通</source>
        <translation>low-pass</translation>
    </message>
    <message>
        <source>%1 (第 %2 行): %3 %4 Hz → Butterworth 12 dB %5 Hz (移动 %6 Hz)</source>
        <translation>%1 (line %2): %3 %4 Hz → Butterworth 12 dB %5 Hz (moved %6 Hz)</translation>
    </message>
    <message>
        <source>跳过了其他通道的滤波器: %1</source>
        <translation>Filters for other channels, skipped: %1</translation>
    </message>
    <message>
        <source>第 %1 行: 跳过了 &quot;%2&quot;</source>
        <translation>Line %1: skipped &quot;%2&quot;</translation>
    </message>
    <message>
        <source>导出滤波器...</source>
        <translation>Export filters...</translation>
    </message>
    <message>
        <source>当前通道的 EQ, 存为测量软件读取的 EQ 文本</source>
        <translation>This channel&apos;s EQ as EQ text for a measurement program</translation>
    </message>
</context>
<context>
    <name>qel::EqTextExport</name>
    <message>
        <source>滤波器设置文件 (*.txt)</source>
        <translation>Filter settings file (*.txt)</translation>
    </message>
    <message>
        <source>均衡器配置 (*.txt)</source>
        <translation>Equaliser configuration (*.txt)</translation>
    </message>
    <message>
        <source>导出滤波器</source>
        <translation>Export filters</translation>
    </message>
    <message>
        <source>无法写入文件 %1:
%2</source>
        <translation>Cannot write the file %1:
%2</translation>
    </message>
    <message>
        <source>已把 %1 的 %2 个滤波器写入 %3。</source>
        <translation>Wrote %2 filters of %1 to %3.</translation>
    </message>
    <message>
        <source>%1 (%2) 没有写入: 文本只能容纳 Butterworth 12 dB 的高通和低通。</source>
        <translation>The %1 (%2) is not written: the text holds Butterworth 12 dB high-pass and low-pass filters only.</translation>
    </message>
    <message>
        <source>高通</source>
        <translation>high-pass</translation>
    </message>
    <message>
        <source>低通</source>
        <translation>low-pass</translation>
    </message>
    <message>
        <source>该通道的 EQ 处于 &quot;EQ pass&quot; 状态; 文件中的滤波器是打开的。</source>
        <translation>The channel&apos;s EQ is switched to &quot;EQ pass&quot;; the file has its filters on.</translation>
    </message>
    <message>
        <source>导入滤波器</source>
        <translation>Import filters</translation>
    </message>
    <message>
        <source>EQ 文本 (*.txt);;所有文件 (*)</source>
        <translation>EQ text (*.txt);;All files (*)</translation>
    </message>
</context>
<context>
    <name>qel::EventLogDlg</name>
    <message>
        <source>时间范围</source>
        <translation>Time range</translation>
    </message>
    <message>
        <source>事件日志</source>
        <translation>Event Log</translation>
    </message>
    <message>
        <source>全部事件</source>
        <translation>All events</translation>
    </message>
    <message>
        <source>设备:</source>
        <translation>Unit:</translation>
    </message>
    <message>
        <source>事件:</source>
        <translation>Event:</translation>
    </message>
    <message>
        <source>刷新</source>
        <translation>Refresh</translation>
    </message>
    <message>
        <source>导出 CSV...</source>
        <translation>Export CSV...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message numerus="yes">
        <source>有 %n 行无法读取 (文件被截断或已损坏), 已跳过。</source>
        <translation>
            <numerusform>%n line could not be read (cut short or damaged) and was skipped.</numerusform>
            <numerusform>%n lines could not be read (cut short or damaged) and were skipped.</numerusform>
        </translation>
    </message>
    <message>
        <source>无法读取: %1</source>
        <translation>Cannot read: %1</translation>
    </message>
    <message>
        <source>全部设备</source>
        <translation>All units</translation>
    </message>
    <message>
        <source>导出 CSV</source>
        <translation>Export CSV</translation>
    </message>
    <message>
        <source>CSV 文件 (*.csv)</source>
        <translation>CSV files (*.csv)</translation>
    </message>
    <message>
        <source>无法写入文件 %1:
%2</source>
        <translation>Cannot write the file %1:
%2</translation>
    </message>
</context>
<context>
    <name>qel::EventLogModel</name>
    <message>
        <source>连接</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>读取</source>
        <translation>Read</translation>
    </message>
    <message>
        <source>下载</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>导入预设</source>
        <translation>Preset import</translation>
    </message>
    <message>
        <source>同步</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>发送演出文件</source>
        <translation>Show file sent</translation>
    </message>
    <message>
        <source>应用电脑模式</source>
        <translation>PC mode applied</translation>
    </message>
    <message>
        <source>本机</source>
        <translation>This PC</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>A/B 切换</source>
        <translation>A/B switch</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>远程: %1</source>
        <translation>Remote: %1</translation>
    </message>
    <message>
        <source>编组: %1</source>
        <translation>Group: %1</translation>
    </message>
    <message>
        <source>无法打开端口</source>
        <translation>port could not be opened</translation>
    </message>
    <message>
        <source>设备没有应答</source>
        <translation>the unit did not answer</translation>
    </message>
    <message>
        <source>读取失败</source>
        <translation>read failed</translation>
    </message>
    <message>
        <source>读回验证未通过</source>
        <translation>not proven by reading back</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>采用设备的设置</source>
        <translation>the unit&apos;s settings were taken</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>断开</source>
        <translation>Disconnected</translation>
    </message>
    <message>
        <source>没有应答</source>
        <translation>Not answering</translation>
    </message>
    <message>
        <source>连接丢失</source>
        <translation>Lost</translation>
    </message>
    <message>
        <source>恢复应答</source>
        <translation>Answers again</translation>
    </message>
    <message>
        <source>传输</source>
        <translation>Transfer</translation>
    </message>
    <message>
        <source>调用模式</source>
        <translation>Mode recalled</translation>
    </message>
    <message>
        <source>报警</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>报警解除</source>
        <translation>Alarm cleared</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>succeeded</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>failed</translation>
    </message>
    <message numerus="yes">
        <source>%1 → %2 (%n 次)</source>
        <translation>
            <numerusform>%1 → %2 (%n edit)</numerusform>
            <numerusform>%1 → %2 (%n edits)</numerusform>
        </translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>设备</source>
        <translation>Unit</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>事件</source>
        <translation>Event</translation>
    </message>
    <message>
        <source>来源</source>
        <translation>By</translation>
    </message>
    <message>
        <source>通道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Setting</translation>
    </message>
    <message>
        <source>变化</source>
        <translation>Change</translation>
    </message>
    <message>
        <source>说明</source>
        <translation>Details</translation>
    </message>
</context>
<context>
    <name>qel::GroupStrip</name>
    <message>
        <source>静音</source>
        <translation>Mute</translation>
    </message>
    <message>
        <source>反相</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>延时偏移</source>
        <translation>Delay offset</translation>
    </message>
    <message numerus="yes">
        <source>%n 个成员</source>
        <translation>
            <numerusform>%n member</numerusform>
            <numerusform>%n members</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 个等待设备</source>
        <translation>
            <numerusform>%n waiting</numerusform>
            <numerusform>%n waiting</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 个缺失</source>
        <translation>
            <numerusform>%n missing</numerusform>
            <numerusform>%n missing</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>qel::GroupsDlg</name>
    <message>
        <source>编组</source>
        <translation>Groups</translation>
    </message>
    <message>
        <source>新建...</source>
        <translation>New...</translation>
    </message>
    <message>
        <source>重命名...</source>
        <translation>Rename...</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>成员</source>
        <translation>Members</translation>
    </message>
    <message>
        <source>编组文件无法保存: %1</source>
        <translation>The groups file cannot be saved: %1</translation>
    </message>
    <message>
        <source>编组 %1 停在 %2: %3 已到极限</source>
        <translation>Group %1 stopped at %2: %3 is at its limit</translation>
    </message>
    <message numerus="yes">
        <source>编组 %1: %n 个成员的设备不在, 回来后发送</source>
        <translation>
            <numerusform>Group %1: %n member&apos;s unit is away; its share goes when it is back</numerusform>
            <numerusform>Group %1: %n members&apos; units are away; their shares go when they are back</numerusform>
        </translation>
    </message>
    <message>
        <source>输入 %1</source>
        <translation>Input %1</translation>
    </message>
    <message>
        <source>输出 %1</source>
        <translation>Output %1</translation>
    </message>
    <message>
        <source>缺失的设备</source>
        <translation>Missing units</translation>
    </message>
    <message>
        <source>这个型号没有这个通道</source>
        <translation>This model has no such channel</translation>
    </message>
    <message>
        <source>成员未能改变</source>
        <translation>The member could not be changed</translation>
    </message>
    <message>
        <source>新建编组</source>
        <translation>New group</translation>
    </message>
    <message>
        <source>名称:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>已有编组叫 %1</source>
        <translation>A group is already called %1</translation>
    </message>
    <message>
        <source>编组需要名称</source>
        <translation>A group needs a name</translation>
    </message>
    <message>
        <source>重命名编组</source>
        <translation>Rename group</translation>
    </message>
    <message>
        <source>删除编组</source>
        <translation>Delete group</translation>
    </message>
    <message>
        <source>删除编组 %1? 它的成员回到各自的值。</source>
        <translation>Delete group %1? Its members go back to their own values.</translation>
    </message>
</context>
<context>
    <name>qel::LinkErrorWords</name>
    <message>
        <source>UDP 端口没有打开</source>
        <translation>the UDP endpoint is not open</translation>
    </message>
    <message>
        <source>写入超时</source>
        <translation>write timed out</translation>
    </message>
    <message>
        <source>设备不存在</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>没有使用该设备的权限</source>
        <translation>no permission to use the device</translation>
    </message>
    <message>
        <source>设备正被其他程序使用</source>
        <translation>the device is in use by another program</translation>
    </message>
    <message>
        <source>设备输入输出错误</source>
        <translation>input/output error on the device</translation>
    </message>
</context>
<context>
    <name>qel::MeasurementWords</name>
    <message>
        <source>第 %1 行: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>无法读取前置增益 &quot;%1&quot;</source>
        <translation>cannot read the preamp &quot;%1&quot;</translation>
    </message>
    <message>
        <source>滤波器没有写 ON 或 OFF</source>
        <translation>the filter says neither ON nor OFF</translation>
    </message>
    <message>
        <source>应为 ON 或 OFF, 实为 &quot;%1&quot;</source>
        <translation>expected ON or OFF, found &quot;%1&quot;</translation>
    </message>
    <message>
        <source>滤波器没有类型</source>
        <translation>the filter has no type</translation>
    </message>
    <message>
        <source>无法读取 &quot;%1&quot;</source>
        <translation>cannot read &quot;%1&quot;</translation>
    </message>
    <message>
        <source>%1 出现了两次</source>
        <translation>%1 is given twice</translation>
    </message>
    <message>
        <source>%1 后面没有数字</source>
        <translation>%1 has no number</translation>
    </message>
    <message>
        <source>有 %1 个打开的滤波器, %2 只有 %3 个 EQ 点</source>
        <translation>%1 filters are on, %2 has %3 EQ points</translation>
    </message>
    <message>
        <source>滤波器没有 Fc</source>
        <translation>the filter has no Fc</translation>
    </message>
    <message>
        <source>滤波器没有 Gain</source>
        <translation>the filter has no Gain</translation>
    </message>
    <message>
        <source>Fc %1 Hz 不在 0 到 %2 Hz 之间</source>
        <translation>Fc %1 Hz is not between 0 and %2 Hz</translation>
    </message>
    <message>
        <source>Gain %1 dB 不在 -%2 到 %2 dB 之间</source>
        <translation>Gain %1 dB is not between -%2 and %2 dB</translation>
    </message>
    <message>
        <source>Q %1 不在 %2 到 %3 之间</source>
        <translation>Q %1 is not between %2 and %3</translation>
    </message>
    <message>
        <source>未知的滤波器类型 &quot;%1&quot; (可用 PK, PEQ, LS, LSC, HS, HSC, HP, HPQ, LP 和 LPQ)</source>
        <translation>unknown filter type &quot;%1&quot; (PK, PEQ, LS, LSC, HS, HSC, HP, HPQ, LP and LPQ are known)</translation>
    </message>
    <message>
        <source>%1 滤波器没有 Q</source>
        <translation>the %1 filter has no Q</translation>
    </message>
    <message>
        <source>设备无法实现 &quot;%1&quot; 滤波器</source>
        <translation>the unit cannot make a &quot;%1&quot; filter</translation>
    </message>
    <message>
        <source>%1 的 Q 为 %2: 设备的高通和低通只有 Butterworth 12 dB (Q 0.707)</source>
        <translation>%1 with Q %2: the unit&apos;s high-pass and low-pass take Butterworth 12 dB (Q 0.707) only</translation>
    </message>
    <message>
        <source>无法读取 %2 的斜率 &quot;%1&quot; (LS 和 HS 可用 6dB 或 12dB, LSC 和 HSC 最多 12 dB)</source>
        <translation>cannot read the slope &quot;%1&quot; of %2 (LS and HS take 6dB or 12dB, LSC and HSC up to 12 dB)</translation>
    </message>
    <message>
        <source>%1 滤波器同时给出了斜率和 Q</source>
        <translation>the %1 filter has both a slope and a Q</translation>
    </message>
    <message>
        <source>BW Oct %1 不在 %2 到 %3 之间</source>
        <translation>BW Oct %1 is not between %2 and %3</translation>
    </message>
    <message>
        <source>滤波器属于多个通道 (%1)</source>
        <translation>the filters belong to more than one channel (%1)</translation>
    </message>
    <message>
        <source>没有 Channel: 行选择 &quot;%1&quot; (文件选择了 %2)</source>
        <translation>no Channel: line selects &quot;%1&quot; (the file selects %2)</translation>
    </message>
    <message>
        <source>第二个 %1: 一个输出只有一个高通和一个低通</source>
        <translation>a second %1: an output has one high-pass and one low-pass</translation>
    </message>
    <message>
        <source>%1 是分频滤波器, %2 没有分频滤波器</source>
        <translation>%1 is a crossover filter, which %2 does not have</translation>
    </message>
</context>
<context>
    <name>qel::ModeFileWords</name>
    <message>
        <source>未知的设备型号 %1</source>
        <translation>unknown model code %1</translation>
    </message>
    <message>
        <source>没有第 %1 条记录</source>
        <translation>there is no record %1</translation>
    </message>
    <message>
        <source>型号 %2 没有电脑模式 %1</source>
        <translation>no PC mode %1 for model %2</translation>
    </message>
    <message>
        <source>GBK 没有这些字符的编码: %1</source>
        <translation>GBK has no code for %1</translation>
    </message>
    <message>
        <source>无法打开 %1: %2</source>
        <translation>cannot open %1: %2</translation>
    </message>
    <message>
        <source>%1 只能读取: %2</source>
        <translation>%1 is read-only here: %2</translation>
    </message>
    <message>
        <source>无法读取 %1: %2</source>
        <translation>cannot read %1: %2</translation>
    </message>
    <message>
        <source>无法为 %1 创建临时文件: %2</source>
        <translation>cannot create a temporary file for %1: %2</translation>
    </message>
    <message>
        <source>无法写入 %1: %2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>无法替换 %1: %2</source>
        <translation>cannot replace %1: %2</translation>
    </message>
</context>
<context>
    <name>qel::OscSection</name>
    <message>
        <source>OSC (调音台, 按钮面板, 演出控制)</source>
        <translation>OSC (consoles, button panels, show control)</translation>
    </message>
    <message>
        <source>启用 OSC</source>
        <translation>Enable OSC</translation>
    </message>
    <message>
        <source>监听地址:</source>
        <translation>Listen on:</translation>
    </message>
    <message>
        <source>UDP 端口:</source>
        <translation>UDP port:</translation>
    </message>
    <message>
        <source>空: 仅本机</source>
        <translation>empty: this computer only</translation>
    </message>
    <message>
        <source>允许发送的网络, 用逗号分隔, 例如 192.168.6.0/24, 10.0.0.0/8</source>
        <translation>Networks allowed to send, separated by commas, e.g. 192.168.6.0/24, 10.0.0.0/8</translation>
    </message>
    <message>
        <source>允许的网络:</source>
        <translation>Allowed networks:</translation>
    </message>
    <message>
        <source>只读</source>
        <translation>Read only</translation>
    </message>
    <message>
        <source>只回答查询和订阅, 拒绝修改</source>
        <translation>Answers queries and subscriptions only; refuses changes</translation>
    </message>
    <message>
        <source>最近的发送方:</source>
        <translation>Recent senders:</translation>
    </message>
    <message>
        <source>地址</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>最后收到</source>
        <translation>Last received</translation>
    </message>
    <message>
        <source>接收</source>
        <translation>Taken</translation>
    </message>
    <message>
        <source>丢弃</source>
        <translation>Dropped</translation>
    </message>
    <message>
        <source>拒绝</source>
        <translation>Refused</translation>
    </message>
    <message>
        <source>在 UDP %1:%2 上接收 OSC。</source>
        <translation>Receiving OSC on UDP %1:%2.</translation>
    </message>
    <message>
        <source>OSC 已关闭。</source>
        <translation>OSC is off.</translation>
    </message>
    <message>
        <source>无法在 UDP %1:%2 上接收: %3</source>
        <translation>Cannot receive on UDP %1:%2: %3</translation>
    </message>
</context>
<context>
    <name>qel::PresetIssueWords</name>
    <message>
        <source>(文档)</source>
        <translation>(document)</translation>
    </message>
    <message>
        <source>第 %1 行, 第 %2 列: 不是有效的 JSON</source>
        <translation>line %1, column %2: not valid JSON</translation>
    </message>
    <message>
        <source>应为对象</source>
        <translation>expected an object</translation>
    </message>
    <message>
        <source>缺少此项</source>
        <translation>missing</translation>
    </message>
    <message>
        <source>未知的键</source>
        <translation>unknown key</translation>
    </message>
    <message>
        <source>应为 %1, 实为 %2</source>
        <translation>expected %1, found %2</translation>
    </message>
    <message>
        <source>应有 %1 项, 实有 %2 项</source>
        <translation>expected %1 entries, found %2</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 不是以下之一: %2</source>
        <translation>&quot;%1&quot; is not one of %2</translation>
    </message>
    <message>
        <source>%1 超出 %2 .. %3 %4</source>
        <translation>%1 is outside %2 .. %3 %4</translation>
    </message>
    <message>
        <source>%1 %2 已变为 %3 %2</source>
        <translation>%1 %2 became %3 %2</translation>
    </message>
    <message>
        <source>应为数字或 &quot;off&quot;</source>
        <translation>expected a number or &quot;off&quot;</translation>
    </message>
    <message>
        <source>%1 Hz 是此滤波器关闭的位置: 请写 &quot;off&quot; 或其他频率</source>
        <translation>%1 Hz is where this filter is off: write &quot;off&quot; or another frequency</translation>
    </message>
    <message>
        <source>此处应为 &quot;%1&quot;, 实为 &quot;%2&quot;</source>
        <translation>expected &quot;%1&quot; at this place, found &quot;%2&quot;</translation>
    </message>
    <message>
        <source>此处应为 %1</source>
        <translation>expected %1 at this place</translation>
    </message>
    <message>
        <source>应为整数</source>
        <translation>expected a whole number</translation>
    </message>
    <message>
        <source>ms 与 samples 不一致</source>
        <translation>ms and samples disagree</translation>
    </message>
    <message>
        <source>请给出 ms 或 samples</source>
        <translation>give ms or samples</translation>
    </message>
    <message>
        <source>应为 A 到 %1 的输入字母</source>
        <translation>expected an input letter from A to %1</translation>
    </message>
    <message>
        <source>输入 %1 列出了两次</source>
        <translation>input %1 is listed twice</translation>
    </message>
    <message>
        <source>名称不能含有零字符</source>
        <translation>a name holds no zero character</translation>
    </message>
    <message>
        <source>模式文件用 GBK 编码保存名称, GBK 没有这些字符: %1</source>
        <translation>the mode files hold names in GBK, which has no code for %1</translation>
    </message>
    <message>
        <source>GBK 编码最多 20 个字节, 实为 %1 个</source>
        <translation>at most 20 bytes in GBK, found %1</translation>
    </message>
    <message>
        <source>最多 23 个字节, 实为 %1 个</source>
        <translation>at most 23 bytes, found %1</translation>
    </message>
    <message>
        <source>应为 &quot;%1&quot;</source>
        <translation>expected &quot;%1&quot;</translation>
    </message>
    <message>
        <source>本程序不能读取版本 %1 (能读取 %2)</source>
        <translation>version %1 is not one this program reads (%2)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; 不是 QD206, QD406 或 QD408</source>
        <translation>&quot;%1&quot; is not QD206, QD406 or QD408</translation>
    </message>
    <message>
        <source>预设用于 %1, 目标设备是 %2</source>
        <translation>the preset is for a %1, the target is a %2</translation>
    </message>
    <message>
        <source>true 或 false</source>
        <translation>true or false</translation>
    </message>
    <message>
        <source>数字</source>
        <translation>a number</translation>
    </message>
    <message>
        <source>文本</source>
        <translation>a text</translation>
    </message>
    <message>
        <source>列表</source>
        <translation>a list</translation>
    </message>
    <message>
        <source>对象</source>
        <translation>an object</translation>
    </message>
    <message>
        <source>空</source>
        <translation>nothing</translation>
    </message>
    <message>
        <source>个采样</source>
        <translation>samples</translation>
    </message>
    <message>
        <source>units[%3] 已有名为 &quot;%1&quot; 的 %2</source>
        <translation>units[%3] is already the %2 named &quot;%1&quot;</translation>
    </message>
    <message>
        <source>groups[%2] 已名为 &quot;%1&quot;</source>
        <translation>groups[%2] is already named &quot;%1&quot;</translation>
    </message>
    <message>
        <source>与 members[%1] 是同一个通道</source>
        <translation>members[%1] names the same channel</translation>
    </message>
    <message>
        <source>%2 没有通道 %1</source>
        <translation>a %2 has no channel %1</translation>
    </message>
    <message>
        <source>编组 %1: %2</source>
        <translation>Group %1: %2</translation>
    </message>
</context>
<context>
    <name>qel::PresetTransfer</name>
    <message>
        <source>预设 (*.json)</source>
        <translation>Presets (*.json)</translation>
    </message>
    <message>
        <source>... 另有 %1 项</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>未知的设备型号, 无法导出预设。</source>
        <translation>Unknown unit model: the preset cannot be exported.</translation>
    </message>
    <message>
        <source>无法写入文件 %1:
%2</source>
        <translation>Cannot write the file %1:
%2</translation>
    </message>
    <message>
        <source>无法读取文件 %1:
%2</source>
        <translation>Cannot read the file %1:
%2</translation>
    </message>
    <message>
        <source>预设文件有错误, 没有导入:
%1</source>
        <translation>The preset has errors and was not imported:
%1</translation>
    </message>
    <message>
        <source>要把预设 &quot;%1&quot; 写入设备吗 ?</source>
        <translation>Write the preset &quot;%1&quot; into the unit?</translation>
    </message>
    <message>
        <source>以下数值已移到设备能保存的值:
%1

</source>
        <translation>These values were moved to values the unit can hold:
%1

</translation>
    </message>
    <message>
        <source>预设没有成功写入设备, 编辑器保留原来的设置:
%1</source>
        <translation>The preset could not be written into the unit; the editor keeps its previous settings:
%1</translation>
    </message>
    <message>
        <source>导出预设</source>
        <translation>Export preset</translation>
    </message>
    <message>
        <source>导入预设</source>
        <translation>Import preset</translation>
    </message>
</context>
<context>
    <name>qel::ProgressWindow</name>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>qel::RemoteDlg</name>
    <message>
        <source>远程控制</source>
        <translation>Remote Control</translation>
    </message>
    <message>
        <source>启用远程控制</source>
        <translation>Remote control on</translation>
    </message>
    <message>
        <source>监听地址:</source>
        <translation>Listen on:</translation>
    </message>
    <message>
        <source>端口:</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>只读</source>
        <translation>Read only</translation>
    </message>
    <message>
        <source>客户端只能查看, 不能修改参数</source>
        <translation>Clients may watch but not change settings</translation>
    </message>
    <message>
        <source>所有地址: 网络中的任何设备都能打开配对页面, 只有配对码才能配对。</source>
        <translation>All addresses: any device on the network can open the pairing page; only the pairing code pairs.</translation>
    </message>
    <message>
        <source>新配对码</source>
        <translation>New Code</translation>
    </message>
    <message>
        <source>已配对的设备:</source>
        <translation>Paired devices:</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>配对时间</source>
        <translation>Paired</translation>
    </message>
    <message>
        <source>最后连接</source>
        <translation>Last seen</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>断开并取消配对</source>
        <translation>Drop and Unpair</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1 (仅本机)</source>
        <translation>%1 (this PC only)</translation>
    </message>
    <message>
        <source>%1 (所有地址)</source>
        <translation>%1 (all addresses)</translation>
    </message>
    <message>
        <source>远程控制已关闭。</source>
        <translation>The remote control is off.</translation>
    </message>
    <message>
        <source>无法在 %1:%2 上监听: %3</source>
        <translation>Cannot listen on %1:%2: %3</translation>
    </message>
    <message>
        <source>在平板电脑或手机上打开此地址进行配对 (配对码只能使用一次):</source>
        <translation>Open this address on a tablet or phone to pair (the code works once):</translation>
    </message>
    <message>
        <source>未连接</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>已连接</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>(未命名)</source>
        <translation>(no name)</translation>
    </message>
</context>
<context>
    <name>qel::RemoteWords</name>
    <message>
        <source>设备列表中没有设备 %1: 它可能已被移除或改名</source>
        <translation>there is no unit %1 in the list: it may have been removed or renamed</translation>
    </message>
    <message>
        <source>设备正在传输数据</source>
        <translation>the unit is busy with a transfer</translation>
    </message>
    <message>
        <source>还没有读取设备的设置</source>
        <translation>the unit&apos;s settings are not read yet</translation>
    </message>
    <message>
        <source>%1 不是遥控可以修改的设置</source>
        <translation>%1 is not a setting the remote can change</translation>
    </message>
    <message>
        <source>%1: 未被接受</source>
        <translation>%1: not taken</translation>
    </message>
    <message>
        <source>正在读取设备的设置</source>
        <translation>the unit&apos;s settings are being read</translation>
    </message>
    <message>
        <source>无法打开设备的端口</source>
        <translation>the unit&apos;s port cannot be opened</translation>
    </message>
    <message>
        <source>设备没有应答</source>
        <translation>the unit does not answer</translation>
    </message>
    <message>
        <source>无法读取设备的设置</source>
        <translation>the unit&apos;s settings could not be read</translation>
    </message>
    <message>
        <source>这个客户端只能查看, 不能修改</source>
        <translation>this client may only watch</translation>
    </message>
    <message>
        <source>修改太频繁, 请放慢</source>
        <translation>too many edits, slow down</translation>
    </message>
    <message>
        <source>没有名为 %1 的编组</source>
        <translation>there is no group named %1</translation>
    </message>
    <message>
        <source>%1 已到极限: 编组停在 %2</source>
        <translation>%1 is at its limit: the group stopped at %2</translation>
    </message>
    <message>
        <source>%1 输入 %2</source>
        <translation>%1 input %2</translation>
    </message>
    <message>
        <source>%1 输出 %2</source>
        <translation>%1 output %2</translation>
    </message>
    <message>
        <source>没有这个地址</source>
        <translation>no such address</translation>
    </message>
    <message>
        <source>需要一个数值参数 (开关: 0 或 1)</source>
        <translation>takes one number (switches: 0 or 1)</translation>
    </message>
    <message>
        <source>参数应为: 可选的每秒电平次数, 可选的接收端口</source>
        <translation>arguments: an optional meter rate per second, an optional port to send to</translation>
    </message>
    <message>
        <source>订阅者已满 (最多 %1 个)</source>
        <translation>too many subscribers (at most %1)</translation>
    </message>
    <message>
        <source>嵌套的包太深</source>
        <translation>bundles nested too deep</translation>
    </message>
    <message>
        <source>没有这个未确认的报警: 它可能已经解除或已被确认</source>
        <translation>No such unacknowledged alarm: it may have cleared or been acknowledged</translation>
    </message>
    <message>
        <source>模式序号应为 1 到 %1 的整数</source>
        <translation>The mode number must be a whole number from 1 to %1</translation>
    </message>
    <message>
        <source>设备没有调用模式 %1: 没有确认</source>
        <translation>The unit did not recall mode %1: it did not confirm</translation>
    </message>
    <message>
        <source>设备正忙: %1</source>
        <translation>The unit is busy: %1</translation>
    </message>
</context>
<context>
    <name>qel::ShowFiles</name>
    <message>
        <source>第 %1 台设备</source>
        <translation>Unit %1</translation>
    </message>
    <message>
        <source>设备 &quot;%1&quot;</source>
        <translation>Unit &quot;%1&quot;</translation>
    </message>
    <message>
        <source>... 另有 %1 项</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>演出文件 (*.json)</source>
        <translation>Show files (*.json)</translation>
    </message>
    <message>
        <source>虚拟</source>
        <translation>virtual</translation>
    </message>
    <message>
        <source>保存演出文件</source>
        <translation>Save Show File</translation>
    </message>
    <message>
        <source>设备列表中没有设备, 没有可保存的内容。</source>
        <translation>The equipment list is empty: there is nothing to save.</translation>
    </message>
    <message>
        <source> 保存演出文件</source>
        <translation> Save Show File</translation>
    </message>
    <message>
        <source>以下设备无法读取, 演出文件没有保存:
%1</source>
        <translation>These units could not be read; the show file was not saved:
%1</translation>
    </message>
    <message>
        <source>演出文件已保存: %1 台设备</source>
        <translation>Show file saved: %1 units</translation>
    </message>
    <message>
        <source>读取 %1 (%2/%3)</source>
        <translation>Reading %1 (%2/%3)</translation>
    </message>
    <message>
        <source>无法打开 %1: %2</source>
        <translation>Cannot open %1: %2</translation>
    </message>
    <message>
        <source>设备没有应答。</source>
        <translation>The unit does not answer.</translation>
    </message>
    <message>
        <source>无法读取设备的设置。</source>
        <translation>The unit&apos;s settings could not be read.</translation>
    </message>
    <message>
        <source>已取消。</source>
        <translation>Cancelled.</translation>
    </message>
    <message>
        <source>无法写入文件 %1:
%2</source>
        <translation>Cannot write the file %1:
%2</translation>
    </message>
    <message>
        <source>打开演出文件</source>
        <translation>Open Show File</translation>
    </message>
    <message>
        <source> 打开演出文件</source>
        <translation> Open Show File</translation>
    </message>
    <message>
        <source>无法读取文件 %1:
%2</source>
        <translation>Cannot read the file %1:
%2</translation>
    </message>
    <message>
        <source>演出文件有错误, 没有发送任何设置:
%1</source>
        <translation>The show file has errors; nothing was sent:
%1</translation>
    </message>
    <message>
        <source>以下数值已移到设备能保存的值:
%1</source>
        <translation>These values were moved to values the unit can hold:
%1</translation>
    </message>
    <message>
        <source>%1: 无法添加虚拟设备: %2</source>
        <translation>%1: cannot add the virtual unit: %2</translation>
    </message>
    <message>
        <source>发送到 %1 (%2/%3)</source>
        <translation>Sending to %1 (%2/%3)</translation>
    </message>
    <message>
        <source> 发送演出文件</source>
        <translation> Send Show File</translation>
    </message>
    <message>
        <source>%1 台设备已收到演出文件的设置并读回验证。</source>
        <translation>%1 units took the show file&apos;s settings, verified by reading them back.</translation>
    </message>
    <message>
        <source>以下设备没有成功:
%1</source>
        <translation>These units did not take them:
%1</translation>
    </message>
    <message>
        <source>%1 和 %2 同名, 演出文件没有保存: 文件中同一型号的设备各要有自己的名称。请先在编辑器的系统页给其中一台改名。</source>
        <translation>%1 and %2 have the same name; the show file was not saved: each unit of a model needs a name of its own in the file. Rename one of them on its editor&apos;s system page first.</translation>
    </message>
    <message>
        <source>设备已经断开, 正在自动重连, 请稍后再试。</source>
        <translation>The unit is disconnected and being reconnected, please try again shortly.</translation>
    </message>
    <message>
        <source>第 %1 个编组</source>
        <translation>group %1</translation>
    </message>
    <message>
        <source>编组 &quot;%1&quot;</source>
        <translation>group &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>qel::ShowJobWindow</name>
    <message>
        <source>请等待 ...</source>
        <translation>Please wait ...</translation>
    </message>
</context>
<context>
    <name>qel::ShowTableDlg</name>
    <message>
        <source>打开演出文件</source>
        <translation>Open Show File</translation>
    </message>
    <message>
        <source>确定后, 勾选的设备收到文件中的设置, 并读回验证。</source>
        <translation>On OK, the ticked units get the file&apos;s settings, verified by reading them back.</translation>
    </message>
    <message>
        <source>文件中的设备</source>
        <translation>Unit in the file</translation>
    </message>
    <message>
        <source>列表中的设备</source>
        <translation>Unit in the list</translation>
    </message>
    <message>
        <source>不同的设置</source>
        <translation>Settings that differ</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>无</source>
        <translation>None</translation>
    </message>
    <message>
        <source>新建虚拟设备</source>
        <translation>New virtual unit</translation>
    </message>
    <message>
        <source>新设备</source>
        <translation>new unit</translation>
    </message>
    <message>
        <source>未读取</source>
        <translation>not read</translation>
    </message>
    <message>
        <source>设备: %1
  文件: %2</source>
        <translation>Unit: %1
  File: %2</translation>
    </message>
    <message>
        <source>... 另有 %1 处</source>
        <translation>... and %1 more</translation>
    </message>
    <message>
        <source>不能新建虚拟设备 &quot;%1&quot;: %2</source>
        <translation>Cannot make the virtual unit &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>%1 选给了两台文件中的设备。</source>
        <translation>%1 is chosen for two units of the file.</translation>
    </message>
    <message>
        <source>鼠标停在不同设置的数目上, 可看到它们。</source>
        <translation>Rest the mouse on a number of settings that differ to see them.</translation>
    </message>
</context>
<context>
    <name>qel::UnitSession</name>
    <message>
        <source>重连</source>
        <translation>Reconnect</translation>
    </message>
    <message>
        <source>同步</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>调用模式</source>
        <translation>Recall mode</translation>
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
