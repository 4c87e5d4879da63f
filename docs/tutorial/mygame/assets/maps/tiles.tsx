<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.10" tiledversion="1.10.2" name="tiles" tilewidth="16" tileheight="16" tilecount="16" columns="8">
 <image source="tiles.png" width="128" height="32"/>
 <tile id="4">
  <properties>
   <property name="pass" value=""/>
  </properties>
 </tile>
 <tile id="9">
  <properties>
   <property name="pass" value=""/>
  </properties>
 </tile>
</tileset>
