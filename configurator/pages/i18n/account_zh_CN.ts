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
        <translation>邮箱地址不能为空</translation>
    </message>
    <message>
        <source>Inconsistent password before and after</source>
        <translation>前后密码不一致</translation>
    </message>
    <message>
        <source>Mailbox address cannot be empty</source>
        <translation>邮箱地址不能为空</translation>
    </message>
    <message>
        <source>The verification code is not empty</source>
        <translation>验证码不能为空</translation>
    </message>
    <message>
        <source>Password inconsistency</source>
        <translation>密码不一致</translation>
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
    <!-- "Change Password" and "Sign out" are in the main catalogue. -->
    <name>SignOutPage</name>
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
</context>
<context>
    <name>UnrecvCode</name>
    <message>
        <source>Incorrect email address.</source>
        <translation>邮箱地址不正确。</translation>
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
        <translation>上一步</translation>
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
    <name>FindPasswd</name>
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
    <name>GetDriverConf</name>
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
    <name>GetSoftwareVersion</name>
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
    <name>LoginAccount</name>
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
    <name>NewPassword</name>
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
    <name>RegisterAccount</name>
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
    <name>SaveConfigInfo</name>
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
    <name>UpdatePasswdAccount</name>
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
    <name>ValidatePassword</name>
    <message>
        <source>Network Error, please try again later</source>
        <translation>网络错误，请稍后再试</translation>
    </message>
    <message>
        <source>Server error, please try again later</source>
        <translation>服务器错误，请稍后再试</translation>
    </message>
</context>
</TS>
