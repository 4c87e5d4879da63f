<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" name="tiles" tilewidth="16" tileheight="16" tilecount="600" columns="20">
 <image source="../tiles.png" width="320" height="480"/>
</tileset>
