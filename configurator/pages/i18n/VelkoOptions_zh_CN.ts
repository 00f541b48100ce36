<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AccountForms</name>
    <message>
        <source>Upload success</source>
        <translation>上传成功</translation>
    </message>
    <message>
        <source>Download success</source>
        <translation>下载成功</translation>
    </message>
    <message>
        <source>Username can not be empty</source>
        <translation>用户名不能为空</translation>
    </message>
    <message>
        <source>Password can not be blank</source>
        <translation>密码不能为空</translation>
    </message>
    <message>
        <source>Email address cannot be empty</source>
        <translation>邮箱不能为空</translation>
    </message>
    <message>
        <source>Inconsistent password before and after</source>
        <translation>两次输入的密码不一致</translation>
    </message>
    <message>
        <source>Mailbox address cannot be empty</source>
        <translation>邮箱不能为空</translation>
    </message>
    <message>
        <source>The verification code is not empty</source>
        <translation>验证码不能为空</translation>
    </message>
    <message>
        <source>Password inconsistency</source>
        <translation>两次输入的密码不一致</translation>
    </message>
    <message>
        <source>Username can not be empty</source>
        <comment>log-in mailbox</comment>
        <translation>邮箱不能为空</translation>
    </message>
</context>
<context>
    <name>AssignmentRules</name>
    <message>
        <source>Program (*.exe)</source>
        <translation>程序 (*.exe)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>所有文件 (*)</translation>
    </message>
    <message>
        <source>sound files (*.wav *.mp3)</source>
        <translation>声音文件 (*.wav *.mp3)</translation>
    </message>
    <message>
        <source>Middle wheel</source>
        <translation>中滚轮</translation>
    </message>
    <message>
        <source>Middle key</source>
        <translation>中键</translation>
    </message>
    <message>
        <source>Side down key</source>
        <translation>侧下键</translation>
    </message>
    <message>
        <source>Side up key</source>
        <translation>侧上键</translation>
    </message>
    <message>
        <source>Side wheel</source>
        <translation>侧滚轮</translation>
    </message>
    <message>
        <source>Right key</source>
        <translation>右键</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A hot spot of the mouse picture: the control, then the function assigned to it</extracomment>
        <translation>%1：%2</translation>
    </message>
    <message>
        <source>%1: %2, same as all programs</source>
        <extracomment>A hot spot of the mouse picture in a program set that leaves the control to all programs: the control, then the function it has there</extracomment>
        <translation>%1：%2，与所有程序相同</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
</context>
<context>
    <name>BackButton</name>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>ChooseVersion</name>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
    <message>
        <source>Choose the version</source>
        <translation>选择型号</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>确认</translation>
    </message>
</context>
<context>
    <name>ConfirmMsgBox</name>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>ConnectDevice</name>
    <message>
        <source>Enter word</source>
        <translation>输入文字</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>选择型号</translation>
    </message>
    <message>
        <source>Pair</source>
        <translation>配对</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>恢复默认</translation>
    </message>
    <message>
        <source>through the mouse driver</source>
        <translation>通过鼠标驱动</translation>
    </message>
    <message>
        <source>through Windows</source>
        <translation>通过 Windows</translation>
    </message>
    <message>
        <source>Mouse %1</source>
        <translation>鼠标 %1</translation>
    </message>
</context>
<context>
    <name>DisconnectDevices</name>
    <message>
        <source>Undetected Equipment</source>
        <translation>未检测到设备</translation>
    </message>
    <message>
        <source>Please make sure the connected device is turned on</source>
        <translation>请确认已连接的设备已开启</translation>
    </message>
    <message>
        <source>Pair</source>
        <translation>配对</translation>
    </message>
</context>
<context>
    <name>EnterPairFail</name>
    <message>
        <source>Failed to prepare, please follow the 
steps below to try again</source>
        <translation>准备失败，请按照
以下步骤重试</translation>
    </message>
</context>
<context>
    <name>EnterQXPair</name>
    <message>
        <source>Plug receiver into the computer</source>
        <translation>将接收器插入电脑</translation>
    </message>
    <message>
        <source>Turn off mouse power switch</source>
        <translation>关闭鼠标电源开关</translation>
    </message>
    <message>
        <source>Click &quot;Pair&quot; button</source>
        <translation>点击“配对”按钮</translation>
    </message>
    <message>
        <source>Pair</source>
        <translation>配对</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>ForgetPasswd</name>
    <message>
        <source>forget password</source>
        <translation>忘记密码</translation>
    </message>
    <message>
        <source>In order to protect the security of the account, we will send a verification code to the mailbox</source>
        <translation>为了保护账号安全，我们将向邮箱发送验证码</translation>
    </message>
    <message>
        <source>mailbox</source>
        <translation>邮箱</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
</context>
<context>
    <name>GetDriverConf</name>
    <message>
        <source>The downloaded settings could not be used, nothing was changed</source>
        <translation>下载的设置无法使用，未做任何更改</translation>
    </message>
    <message>
        <source>The downloaded settings could not be saved</source>
        <translation>下载的设置无法保存</translation>
    </message>
</context>
<context>
    <name>KeyCombination</name>
    <message>
        <source>No key combination entered</source>
        <translation>未输入组合键</translation>
    </message>
    <message>
        <source>The key combination is too long</source>
        <translation>组合键过长</translation>
    </message>
    <message>
        <source>At most 8 combinations can follow one another</source>
        <translation>最多可连续 8 个组合键</translation>
    </message>
    <message>
        <source>Unknown key: %1</source>
        <translation>未知的按键：%1</translation>
    </message>
    <message>
        <source>A key is missing after the modifiers: %1</source>
        <translation>修饰键后缺少按键：%1</translation>
    </message>
    <message>
        <source>Only one key besides Ctrl, Alt, Shift and Win: %1</source>
        <translation>除 Ctrl、Alt、Shift 和 Win 外只能有一个按键：%1</translation>
    </message>
</context>
<context>
    <name>KeyCombinationBox</name>
    <message>
        <source>Key combination</source>
        <translation>组合键</translation>
    </message>
    <message>
        <source>Wheel up</source>
        <translation>滚轮向上</translation>
    </message>
    <message>
        <source>Wheel down</source>
        <translation>滚轮向下</translation>
    </message>
    <message>
        <source>Press the keys</source>
        <translation>请按下按键</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>or type it: Ctrl+Shift+T</source>
        <translation>或直接输入：Ctrl+Shift+T</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>Login</name>
    <message>
        <source>mailbox</source>
        <translation>邮箱</translation>
    </message>
    <message>
        <source>password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Forget password?</source>
        <translation>忘记密码？</translation>
    </message>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
</context>
<context>
    <name>LoginAndRegister</name>
    <message>
        <source>Login</source>
        <translation>登录</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>注册</translation>
    </message>
    <message>
        <source>Login/Register</source>
        <translation>登录/注册</translation>
    </message>
    <message>
        <source>Password reset, please log in</source>
        <translation>密码已重置，请登录</translation>
    </message>
</context>
<context>
    <name>MouseKeyPress</name>
    <message>
        <source>Media Player</source>
        <translation>媒体播放器</translation>
    </message>
    <message>
        <source>Open Web page</source>
        <translation>打开网页</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>打开文件</translation>
    </message>
    <message>
        <source>Open floder</source>
        <translation>打开文件夹</translation>
    </message>
    <message>
        <source>Open application</source>
        <translation>打开应用</translation>
    </message>
    <message>
        <source>Play sound</source>
        <translation>播放声音</translation>
    </message>
    <message>
        <source>Mouse speed</source>
        <translation>鼠标速度</translation>
    </message>
    <message>
        <source>My picture</source>
        <translation>我的图片</translation>
    </message>
    <message>
        <source>My Documents</source>
        <translation>我的文档</translation>
    </message>
    <message>
        <source>My computer</source>
        <translation>我的电脑</translation>
    </message>
    <message>
        <source>My video</source>
        <translation>我的视频</translation>
    </message>
    <message>
        <source>My music</source>
        <translation>我的音乐</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Clipping</source>
        <translation>剪切</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Shutdown</source>
        <translation>关机</translation>
    </message>
    <message>
        <source>Reboot</source>
        <translation>重启</translation>
    </message>
    <message>
        <source>Max window</source>
        <translation>最大化窗口</translation>
    </message>
    <message>
        <source>Min window</source>
        <translation>最小化窗口</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>注销</translation>
    </message>
    <message>
        <source>Homepage</source>
        <translation>主页</translation>
    </message>
    <message>
        <source>Close window</source>
        <translation>关闭窗口</translation>
    </message>
    <message>
        <source>Increase volume</source>
        <translation>提高音量</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>搜索</translation>
    </message>
    <message>
        <source>Show/hide desktop</source>
        <translation>显示/隐藏桌面</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>计算器</translation>
    </message>
    <message>
        <source>Lower volume</source>
        <translation>降低音量</translation>
    </message>
    <message>
        <source>Silent</source>
        <translation>静音</translation>
    </message>
    <message>
        <source>Lock screen</source>
        <translation>锁屏</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>New</source>
        <translation>新建</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>打印</translation>
    </message>
    <message>
        <source>Resource manager</source>
        <translation>资源管理器</translation>
    </message>
    <message>
        <source>Mouse left click</source>
        <translation>左键单击</translation>
    </message>
    <message>
        <source>Mouse right click</source>
        <translation>右键单击</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>前进</translation>
    </message>
    <message>
        <source>Backward</source>
        <translation>后退</translation>
    </message>
    <message>
        <source>Roll forward</source>
        <translation>滚轮向前滚动</translation>
    </message>
    <message>
        <source>Roll back</source>
        <translation>滚轮向后滚动</translation>
    </message>
    <message>
        <source>Roll left</source>
        <translation>滚轮向左滚动</translation>
    </message>
    <message>
        <source>Roll right</source>
        <translation>滚轮向右滚动</translation>
    </message>
    <message>
        <source>Run</source>
        <translation>运行</translation>
    </message>
    <message>
        <source>Zoom In</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Zoom Out</source>
        <translation>缩小</translation>
    </message>
    <message>
        <source>Switch application</source>
        <translation>切换应用</translation>
    </message>
    <message>
        <source>Windows menu</source>
        <translation>开始菜单</translation>
    </message>
    <message>
        <source>Play/Pause</source>
        <translation>播放/暂停</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>上一曲</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一曲</translation>
    </message>
    <message>
        <source>DoubleClick</source>
        <translation>左键双击</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Set the seepd of mouse</source>
        <translation>设置鼠标速度</translation>
    </message>
    <message>
        <source>Main</source>
        <translation>主速度</translation>
    </message>
    <message>
        <source>Self</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Press button to switch the speed of mouse between main and self</source>
        <translation>按下此键，鼠标速度在主速度与自定义速度之间切换</translation>
    </message>
    <message>
        <source>Please choose a file</source>
        <translation>请选择文件</translation>
    </message>
    <message>
        <source>Same as all programs</source>
        <translation>与所有程序相同</translation>
    </message>
    <message>
        <source>Key combination...</source>
        <translation>组合键...</translation>
    </message>
</context>
<context>
    <name>MouseWheelAction</name>
    <message>
        <source>Volume control</source>
        <translation>音量控制</translation>
    </message>
    <message>
        <source>Scroll horizontally</source>
        <translation>水平滚动</translation>
    </message>
    <message>
        <source>Switch applications</source>
        <translation>切换应用</translation>
    </message>
    <message>
        <source>Brightness control</source>
        <translation>亮度控制</translation>
    </message>
    <message>
        <source>Tab Previous/Next</source>
        <translation>上一个/下一个标签页</translation>
    </message>
    <message>
        <source>Zoom in/out</source>
        <translation>放大/缩小</translation>
    </message>
    <message>
        <source>Song Previous/Next</source>
        <translation>上一曲/下一曲</translation>
    </message>
    <message>
        <source>Play/Pause</source>
        <translation>播放/暂停</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Same as all programs</source>
        <translation>与所有程序相同</translation>
    </message>
    <message>
        <source>Key combination...</source>
        <translation>组合键...</translation>
    </message>
</context>
<context>
    <name>PageNavigator</name>
    <message>
        <source>Mouse match success</source>
        <translation>鼠标配对成功</translation>
    </message>
    <message>
        <source>Mouse pairing failed, follow 
the steps below to try again</source>
        <translation>鼠标配对失败，请按照
以下步骤重试</translation>
    </message>
</context>
<context>
    <name>ProgramBar</name>
    <message>
        <source>Remove this program</source>
        <translation>移除此程序</translation>
    </message>
    <message>
        <source>Add program</source>
        <translation>添加程序</translation>
    </message>
    <message>
        <source>Programs with a window open</source>
        <translation>已打开窗口的程序</translation>
    </message>
    <message>
        <source>No other program has a window open</source>
        <translation>没有其他已打开窗口的程序</translation>
    </message>
    <message>
        <source>Choose a program file...</source>
        <translation>选择程序文件…</translation>
    </message>
    <message>
        <source>Choose a program</source>
        <translation>选择程序</translation>
    </message>
    <message>
        <source>Remove %1</source>
        <translation>移除 %1</translation>
    </message>
    <message>
        <source>Enable the extension</source>
        <translation>启用扩展</translation>
    </message>
</context>
<context>
    <name>ProgramSelector</name>
    <message>
        <source>All programs</source>
        <translation>所有程序</translation>
    </message>
    <message>
        <source>At most %1 programs can be added</source>
        <translation>最多只能添加 %1 个程序</translation>
    </message>
    <message>
        <source>This program cannot be added</source>
        <translation>无法添加此程序</translation>
    </message>
    <message>
        <source>To know which program is in front, GNOME needs the Velko Options extension, which is installed but not enabled. Until it is, only some programs get their own settings.</source>
        <translation>要识别前台程序，GNOME 需要 Velko Options 扩展；该扩展已安装但未启用。启用之前，只有部分程序能使用自己的设置。</translation>
    </message>
    <message>
        <source>Which program is in front cannot be known on this desktop: the settings for all programs apply everywhere.</source>
        <translation>此桌面无法识别前台程序：所有程序的设置将在任何地方生效。</translation>
    </message>
</context>
<context>
    <name>QApplication</name>
    <message>
        <source>Tip</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Program hasbeen running!</source>
        <translation>程序已在运行！</translation>
    </message>
</context>
<context>
    <name>QXAbout</name>
    <message>
        <source>Software</source>
        <translation>软件</translation>
    </message>
    <message>
        <source>Software version：1.0.0</source>
        <translation>软件版本：1.0.0</translation>
    </message>
    <message>
        <source>URL：</source>
        <translation>网址：</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>QXMsgBox</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>QXPair</name>
    <message>
        <source>Turn on the mouse power switch</source>
        <translation>打开鼠标电源开关</translation>
    </message>
    <message>
        <source>Please press the left, center 
and right keys simultaneously</source>
        <translation>请同时按下鼠标的左键、
中键和右键</translation>
    </message>
</context>
<context>
    <name>QXSync</name>
    <message>
        <source>Upload set</source>
        <translation>上传设置</translation>
    </message>
    <message>
        <source>Download set</source>
        <translation>下载设置</translation>
    </message>
</context>
<context>
    <name>Register</name>
    <message>
        <source>username</source>
        <translation>用户名</translation>
    </message>
    <message>
        <source>mailbox</source>
        <translation>邮箱</translation>
    </message>
    <message>
        <source>password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>enter password again</source>
        <translation>再次输入密码</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>注册</translation>
    </message>
</context>
<context>
    <name>ResetPasswd</name>
    <message>
        <source>Reset password</source>
        <translation>重置密码</translation>
    </message>
    <message>
        <source>password</source>
        <translation>密码</translation>
    </message>
    <message>
        <source>Enter password again</source>
        <translation>再次输入密码</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>完成</translation>
    </message>
</context>
<context>
    <name>SettingsFileActions</name>
    <message>
        <source>Settings exported</source>
        <translation>设置已导出</translation>
    </message>
    <message>
        <source>Nothing was imported: %1</source>
        <translation>未导入任何内容：%1</translation>
    </message>
    <message>
        <source>Settings imported; left out, from a newer version: %1</source>
        <translation>设置已导入；来自较新版本而未导入的：%1</translation>
    </message>
    <message>
        <source>Settings imported</source>
        <translation>设置已导入</translation>
    </message>
    <message>
        <source>The imported settings could not be saved</source>
        <translation>导入的设置无法保存</translation>
    </message>
</context>
<context>
    <name>SettingsTransfer</name>
    <message>
        <source>The file cannot be written: %1</source>
        <translation>无法写入文件：%1</translation>
    </message>
    <message>
        <source>The file cannot be read: %1</source>
        <translation>无法读取文件：%1</translation>
    </message>
    <message>
        <source>The file is too large to be a settings file</source>
        <translation>文件过大，不是设置文件</translation>
    </message>
    <message>
        <source>The file is damaged or incomplete</source>
        <translation>文件已损坏或不完整</translation>
    </message>
    <message>
        <source>This is not a Velko Options settings file</source>
        <translation>这不是 Velko Options 设置文件</translation>
    </message>
    <message>
        <source>The file&apos;s format version is not known</source>
        <translation>无法识别文件的格式版本</translation>
    </message>
    <message>
        <source>The file was changed or damaged after it was saved</source>
        <translation>文件在保存后被修改或损坏</translation>
    </message>
    <message>
        <source>The file names an unknown mouse model: %1</source>
        <translation>文件中有未知的鼠标型号：%1</translation>
    </message>
    <message>
        <source>The settings of %1 cannot be used: %2</source>
        <translation>%1 的设置无法使用：%2</translation>
    </message>
    <message>
        <source>The file holds settings this version does not know: %1</source>
        <translation>文件包含此版本无法识别的设置：%1</translation>
    </message>
</context>
<context>
    <name>SignIn</name>
    <message>
        <source>Account: %1</source>
        <translation>账户：%1</translation>
    </message>
</context>
<context>
    <name>SignOutPage</name>
    <message>
        <source>Change Password</source>
        <translation>修改密码</translation>
    </message>
    <message>
        <source>Sign out</source>
        <translation>退出登录</translation>
    </message>
    <message>
        <source>Old password</source>
        <translation>旧密码</translation>
    </message>
    <message>
        <source>New password</source>
        <translation>新密码</translation>
    </message>
    <message>
        <source>Enter the new password again</source>
        <translation>再次输入新密码</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>SplashScreen</name>
    <message>
        <source>     Welcome to the Nardi driver</source>
        <translation>     欢迎使用 Nardi 驱动</translation>
    </message>
</context>
<context>
    <name>TextPanel</name>
    <message>
        <source>Enter a web address</source>
        <translation>输入网址</translation>
    </message>
    <message>
        <source>Type a path or press +</source>
        <translation>输入路径或点击 +</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
</context>
<context>
    <name>TitleRectangle</name>
    <message>
        <source>Velko Options</source>
        <translation>Velko Options</translation>
    </message>
    <message>
        <source>Menu</source>
        <translation>菜单</translation>
    </message>
    <message>
        <source>Login/Register</source>
        <translation>登录/注册</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>同步</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
</context>
<context>
    <name>UnrecvCode</name>
    <message>
        <source>Incorrect email address.</source>
        <translation>邮箱地址填写错误。</translation>
    </message>
    <message>
        <source>The verification email has not been issued due to delays and other reasons.</source>
        <translation>验证邮件因延迟等原因尚未发出。</translation>
    </message>
    <message>
        <source>The mailbox server that verifies the mailbox is received is judged as spam and automatically transferred to the trash. You can check whether there is a verification email in the bin.</source>
        <translation>验证邮件被邮箱服务器判定为垃圾邮件并自动移入垃圾箱，您可以查看垃圾箱中是否有验证邮件。</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1.</translation>
    </message>
    <message>
        <source>If none of the above methods can find the verification is limited, you can click Resend or other email address to re-register in the verification interface.</source>
        <translation>如果以上方法都找不到验证邮件，您可以在验证界面点击重新发送，或使用其他邮箱地址重新注册。</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>返回</translation>
    </message>
</context>
<context>
    <name>VLAccountManage</name>
    <message>
        <source>Network Error, please try again later</source>
        <translation>网络错误，请稍后再试</translation>
    </message>
    <message>
        <source>Server error, please try again later</source>
        <translation>服务器错误，请稍后再试</translation>
    </message>
</context>
<context>
    <name>VerificationCode</name>
    <message>
        <source>Verify</source>
        <translation>验证</translation>
    </message>
    <message>
        <source>Please enter the verification code received by email</source>
        <translation>请输入邮件中收到的验证码</translation>
    </message>
    <message>
        <source>Verify Code</source>
        <translation>验证码</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>No verification code received?</source>
        <translation>没有收到验证码？</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>下一步</translation>
    </message>
</context>
<context>
    <name>WindowButtons</name>
    <message>
        <source>Minimise</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Velko Options</source>
        <translation>Velko Options</translation>
    </message>
    <message>
        <source>show</source>
        <translation>显示</translation>
    </message>
    <message>
        <source>exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>Enter word</source>
        <translation>输入文字</translation>
    </message>
    <message>
        <source>Restore default</source>
        <translation>恢复默认</translation>
    </message>
    <message>
        <source>Restoring the default will empty all settings.
Are you sure you want to restore the default?</source>
        <translation>恢复默认将清空所有设置。
确定要恢复默认吗？</translation>
    </message>
    <message>
        <source>It will be the current mouse model automatically next time log in</source>
        <translation>下次启动时将自动
使用此鼠标型号</translation>
    </message>
    <message>
        <source>New version update</source>
        <translation>版本更新</translation>
    </message>
    <message>
        <source>The current software is not the latest version, please
go to the official website to download the latest version</source>
        <translation>当前软件不是最新版本，请
前往官网下载最新版本</translation>
    </message>
    <message>
        <source>Restore the defaults of &quot;%1&quot; only, or of all programs and every program set?</source>
        <translation>仅恢复“%1”的默认设置，还是恢复所有程序及每个程序的设置？</translation>
    </message>
    <message>
        <source>Only this</source>
        <translation>仅此项</translation>
    </message>
    <message>
        <source>Everything</source>
        <translation>全部</translation>
    </message>
    <message>
        <source>Remove program</source>
        <translation>移除程序</translation>
    </message>
    <message>
        <source>Remove &quot;%1&quot; and the assignments made for it?</source>
        <translation>移除“%1”及为其所做的设置？</translation>
    </message>
    <message>
        <source>Export settings...</source>
        <translation>导出设置...</translation>
    </message>
    <message>
        <source>Import settings...</source>
        <translation>导入设置...</translation>
    </message>
    <message>
        <source>Export settings</source>
        <translation>导出设置</translation>
    </message>
    <message>
        <source>Velko Options settings (*.json)</source>
        <translation>Velko Options 设置 (*.json)</translation>
    </message>
    <message>
        <source>Import settings</source>
        <translation>导入设置</translation>
    </message>
    <message>
        <source>Your changes could not be saved to %1. Check that the disk has room and that the folder can be written.</source>
        <translation>您的更改无法保存到 %1。请检查磁盘是否还有空间，以及该文件夹是否可写入。</translation>
    </message>
</context>
</TS>
