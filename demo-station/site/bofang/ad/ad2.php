<!DOCTYPE html>
<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=gbk">
<title>广告二</title>
<style>
body { margin: 0; padding: 12px; background: #3CB371; color: #FFFFFF;
       font-family: "Microsoft YaHei", SimSun, sans-serif; }
h1 { font-size: 20px; margin: 0 0 8px 0; }
p { font-size: 14px; line-height: 1.6; margin: 4px 0; }
a { color: #FFFFFF; }
</style>
</head>
<body>
<h1>第二条广告</h1>
<p>听众点歌热线全天开通，欢迎参与。</p>

</body>
</html>
